#pragma once

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "directory/DirectoryList.h"
#include "platform/NameCollator.h"
#include "directory/Contact.h"

namespace fichelia::testing {

inline std::shared_ptr<const NameCollator> rootCollator() {
    static const auto collator = std::make_shared<const NameCollator>("");
    return collator;
}

inline Contact contact(const std::string& nom, const std::string& suffix = "") {
    return Contact(nom, "1 rue de la Paix" + suffix, "01 23 45 67 89", "06 12 34 56 78", "01 98 76 54 32",
                   "contact@example.fr", "http://www.example.fr/" + suffix, "Client fidèle" + suffix);
}

inline std::unique_ptr<DirectoryList> listOf(const std::vector<Contact>& records) {
    auto list = std::make_unique<DirectoryList>(rootCollator());
    for (const Contact& record : records) {
        (void)list->add(record); // the list has no limit
    }
    return list;
}

// Texts that have broken pages, lines or round trips before, and fragments of
// every script the page must carry.
inline const std::vector<std::string>& awkwardFragments() {
    static const std::vector<std::string> fragments = {
        "\"", "\\", "</script>", "</SCRIPT", "<!--<script>", "'", "&", "&amp;", "<b>", "é", "à", "É", "€",
        "œ", "Łódź", "Ελληνικά", "中文", "😀", "\t", "\n", "\r", "\r\n", std::string("\0", 1), "\x01",
        "\x1A", "\x7F", "\u0080", "\u0081", "\u009D", "\u2028", "\uFFFD", "\\u00E9", "\\x22", "\\/", "\\\\",
        "remplirTabFournisseur(", "\",\"", "\");", " ", "Dupont", "a", "Z", "0", "https://x.example/?a=1&b=2",
    };
    return fragments;
}

inline std::string awkwardText(std::mt19937& random, std::size_t maxFragments = 6) {
    const auto& fragments = awkwardFragments();
    std::uniform_int_distribution<std::size_t> count(0, maxFragments);
    std::uniform_int_distribution<std::size_t> pick(0, fragments.size() - 1);
    std::string text;
    for (std::size_t n = count(random); n > 0; --n) {
        text += fragments[pick(random)];
    }
    return text;
}

inline Contact awkwardContact(std::mt19937& random) {
    return Contact(awkwardText(random), awkwardText(random), awkwardText(random), awkwardText(random),
                   awkwardText(random), awkwardText(random), awkwardText(random), awkwardText(random));
}

} // namespace fichelia::testing
