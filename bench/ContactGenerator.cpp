#include "ContactGenerator.h"

#include <array>
#include <cctype>
#include <string>
#include <string_view>

namespace fichelia::bench {

namespace {

using Words = std::initializer_list<std::string_view>;

// SplitMix64: small, fast, and the same sequence everywhere.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
        return z ^ (z >> 31);
    }

    // A number in [0, bound); the slight modulo bias does not matter here.
    std::size_t below(std::size_t bound) { return static_cast<std::size_t>(next() % bound); }

    bool chance(unsigned percent) { return below(100) < percent; }

    std::string_view pick(Words words) { return *(words.begin() + below(words.size())); }

private:
    std::uint64_t m_state;
};

const Words kSurnames = {
    "Martin",    "Bernard",  "Dubois",      "Thomas",    "Robert",    "Richard",  "Petit",     "Durand",    "Leroy",
    "Moreau",    "Simon",    "Laurent",     "Lefèvre",   "Michel",    "Garcia",   "David",     "Bertrand",  "Roux",
    "Vincent",   "Fournier", "Morel",       "Girard",    "André",     "Lefebvre", "Mercier",   "Dupont",    "Lambert",
    "Bonnet",    "François", "Martinez",    "Legrand",   "Garnier",   "Faure",    "Rousseau",  "Blanc",     "Guérin",
    "Muller",    "Henry",    "Roussel",     "Nicolas",   "Perrin",    "Morin",    "Mathieu",   "Clément",   "Gauthier",
    "Dumont",    "Lopez",    "Fontaine",    "Chevalier", "Robin",     "Masson",   "Sanchez",   "Gérard",    "Nguyen",
    "Boyer",     "Denis",    "Lemaire",     "Duval",     "Joly",      "Gautier",  "Roger",     "Roche",     "Roy",
    "Noël",      "Meyer",    "Lucas",       "Meunier",   "Pérez",     "Marchand", "Dufour",    "Blanchard", "Barbier",
    "Brun",      "Dumas",    "Brunet",      "Schmitt",   "Leroux",    "Colin",    "Fernandez", "Renard",    "Arnaud",
    "Rolland",   "Caron",    "Aubert",      "Giraud",    "Leclerc",   "Vidal",    "Bourgeois", "Renaud",    "Lemoine",
    "Picard",    "Gaillard", "Lacroix",     "Fabre",     "Dupuis",    "Olivier",  "Da Silva",  "Hubert",    "Guillot",
    "Rivière",   "Le Gall",  "Ménard",      "Fleury",    "Deschamps", "Benoît",   "Maillard",  "Aubry",     "Le Roux",
    "Prévost",   "Poirier",  "Charpentier", "Huet",      "Carré",     "Rémy",     "Barré",     "Le Bihan",  "Kerjean",
    "Lœuilliet", "Bréhier",  "Lebœuf",
};

// Names that come with a particle: "de la Fontaine", "d'Orléans".
const Words kParticleNames = {
    "de la Fontaine", "de la Tour",  "du Pont",     "du Bois-Joli", "de Saint-Amand", "d'Orléans",
    "d'Aubeterre",    "de Montaigu", "des Granges", "de l'Estang",  "du Plessis",     "de Rochechouart",
};

// Names beyond Windows-1252, written as \uXXXX in the page.
const Words kForeignNames = {"Nguyễn", "Trần", "Phạm", "Đặng", "Wąsik", "Dvořáková", "Ştefănescu"};

const Words kFirstNames = {
    "Jean",     "Marie",        "Pierre",  "Michel", "André",    "Philippe", "René",      "Louis",
    "Alain",    "Jacques",      "Bernard", "Marcel", "Daniel",   "Claude",   "Christian", "Henri",
    "Nicolas",  "François",     "Patrick", "Gérard", "Julien",   "Éric",     "Frédéric",  "Stéphane",
    "Hélène",   "Françoise",    "Thérèse", "Cécile", "Béatrice", "Agnès",    "Noémie",    "Chloé",
    "Léa",      "Zoé",          "Anaïs",   "Maëlle", "Océane",   "Jérôme",   "Sébastien", "Anne-Sophie",
    "Jean-Luc", "Marie-Hélène", "Gaëlle",  "Loïc",   "Joël",     "Raphaël",  "Inès",      "Clémence",
};

const Words kTrades = {
    "Boulangerie",
    "Pâtisserie",
    "Garage",
    "Plomberie",
    "Électricité générale",
    "Pharmacie",
    "Librairie",
    "Traiteur",
    "Imprimerie",
    "Quincaillerie",
    "Hôtel",
    "Auto-école",
    "Menuiserie",
    "Crèche",
    "Fromagerie",
    "Cabinet d'architectes",
    "Agence immobilière",
    "Fleuriste",
    "Boucherie",
    "Épicerie fine",
    "Taxi",
    "Cave à vins",
    "Serrurerie",
    "Opticien",
};

const Words kPlaces = {"de la Gare", "du Centre", "des Halles", "du Port", "de l'Église", "du Marché", "Saint-Médard"};

const Words kCompanyForms = {"SARL", "SAS", "EURL", "Établissements", "Ets", "SA"};

const Words kStreetKinds = {"rue",     "rue",   "rue",    "avenue", "boulevard", "place",
                            "impasse", "allée", "chemin", "quai",   "route",     "cours"};

const Words kStreetNames = {
    "de la République", "Victor Hugo", "des Écoles", "du Général Leclerc", "Jean Jaurès",    "de l'Église",
    "des Lilas",        "Pasteur",     "du Moulin",  "de la Gare",         "Saint-Éloi",     "des Peupliers",
    "du Château",       "de Verdun",   "Émile Zola", "des Tanneurs",       "Sainte-Thérèse", "du Marché aux Fleurs",
    "de la Libération", "des Acacias", "Gambetta",   "du 8 Mai 1945",      "de Bretagne",    "des Forgerons",
    "Notre-Dame",
};

const Words kTowns = {
    "75011 Paris",       "75015 Paris",    "69003 Lyon",       "13005 Marseille",     "31000 Toulouse",
    "06000 Nice",        "44000 Nantes",   "67000 Strasbourg", "34000 Montpellier",   "33000 Bordeaux",
    "59000 Lille",       "35000 Rennes",   "51100 Reims",      "42000 Saint-Étienne", "83000 Toulon",
    "38000 Grenoble",    "21000 Dijon",    "49000 Angers",     "30000 Nîmes",         "63000 Clermont-Ferrand",
    "72000 Le Mans",     "29200 Brest",    "37000 Tours",      "80000 Amiens",        "87000 Limoges",
    "74000 Annecy",      "64000 Pau",      "25000 Besançon",   "62000 Arras",         "17000 La Rochelle",
    "20000 Ajaccio",     "73000 Chambéry", "76600 Le Havre",   "14000 Caen",          "57000 Metz",
    "97400 Saint-Denis", "45000 Orléans",  "66000 Perpignan",  "29000 Quimper",       "12000 Rodez",
};

const Words kMailDomains = {"orange.fr", "free.fr", "gmail.com", "wanadoo.fr", "laposte.net", "sfr.fr", "yahoo.fr"};

const Words kComments = {
    "Livraison le mardi matin",
    "Fournisseur de farine bio depuis 2015",
    "Rappeler après 14 h",
    "Acompte de 150 € versé le 3 mars",
    "Fermé en août",
    "Contact : Mme Hélène Girard, comptabilité",
    "Préfère être joint par courriel",
    "Tarifs révisés chaque année en janvier",
    "Ne pas appeler le week-end",
    "Devis n° 2023-118 accepté",
    "Client fidèle, remise de 5 %",
    "Cœur de métier : rénovation énergétique",
    "Accès handicapé par l'arrière du bâtiment",
    "Horaires : 8 h 30 – 12 h / 14 h – 18 h",
    "L'« atelier » est au 2e étage, code 4512",
    "Voir aussi la fiche de l'association",
    "Commande < 50 € : port en sus",
    "Factures à envoyer au siège",
    "Rencontré au salon de l'habitat, très réactif",
    "Œuvres sociales du comité d'entreprise",
};

// The entry of a replacement table whose text stands at text[pos], if any.
template <std::size_t N>
const std::pair<std::string_view, std::string_view>*
replacementAt(std::string_view text, std::size_t pos,
              const std::array<std::pair<std::string_view, std::string_view>, N>& table) {
    for (const auto& entry : table) {
        if (text.substr(pos, entry.first.size()) == entry.first) {
            return &entry;
        }
    }
    return nullptr;
}

// "Lefèvre" without accents, spaces or apostrophes, in lower case: "lefevre".
std::string asciiSlug(std::string_view text) {
    static const std::array<std::pair<std::string_view, std::string_view>, 28> folds = {{
        {"à", "a"}, {"â", "a"}, {"á", "a"}, {"ç", "c"},  {"é", "e"},  {"è", "e"}, {"ê", "e"},
        {"ë", "e"}, {"î", "i"}, {"ï", "i"}, {"ô", "o"},  {"ö", "o"},  {"ù", "u"}, {"û", "u"},
        {"ü", "u"}, {"É", "e"}, {"È", "e"}, {"œ", "oe"}, {"Œ", "oe"}, {"ễ", "e"}, {"ầ", "a"},
        {"ạ", "a"}, {"ặ", "a"}, {"Đ", "d"}, {"ą", "a"},  {"ř", "r"},  {"Ş", "s"}, {"ă", "a"},
    }};
    std::string slug;
    for (std::size_t pos = 0; pos < text.size();) {
        const auto c = static_cast<unsigned char>(text[pos]);
        if (c < 0x80) {
            if (std::isalnum(c) != 0) {
                slug += static_cast<char>(std::tolower(c));
            } else if (c == '-' && !slug.empty() && slug.back() != '-') {
                slug += '-';
            }
            ++pos;
            continue;
        }
        if (const auto* fold = replacementAt(text, pos, folds)) {
            slug += fold->second;
            pos += fold->first.size();
        } else {
            ++pos; // any other byte of a multi-byte character is dropped
        }
    }
    return slug;
}

// Upper case for the ASCII letters and the accented small letters of names.
std::string upper(std::string_view text) {
    static const std::array<std::pair<std::string_view, std::string_view>, 9> cases = {{
        {"é", "É"},
        {"è", "È"},
        {"ê", "Ê"},
        {"ë", "Ë"},
        {"î", "Î"},
        {"ï", "Ï"},
        {"ô", "Ô"},
        {"ç", "Ç"},
        {"œ", "Œ"},
    }};
    std::string out;
    for (std::size_t pos = 0; pos < text.size();) {
        if (const auto* capital = replacementAt(text, pos, cases)) {
            out += capital->second;
            pos += capital->first.size();
        } else {
            out += static_cast<char>(std::toupper(static_cast<unsigned char>(text[pos])));
            ++pos;
        }
    }
    return out;
}

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string surname(Random& random) {
    const unsigned roll = static_cast<unsigned>(random.below(100));
    if (roll < 8) {
        return std::string(random.pick(kParticleNames));
    }
    if (roll < 10) {
        return std::string(random.pick(kForeignNames));
    }
    if (roll < 14) {
        // One draw a statement: the order in which the operands of + are
        // evaluated is up to the compiler, and the contacts must not depend on it.
        const std::string first(random.pick(kSurnames));
        const std::string second(random.pick(kSurnames));
        return first + "-" + second;
    }
    return std::string(random.pick(kSurnames));
}

std::string phone(Random& random, std::string_view prefix) {
    std::string number(prefix);
    for (int pair = 0; pair < 4; ++pair) {
        const std::size_t value = random.below(100);
        number += ' ';
        number += static_cast<char>('0' + value / 10);
        number += static_cast<char>('0' + value % 10);
    }
    return number;
}

std::string landline(Random& random) {
    static constexpr std::array<std::string_view, 5> prefixes = {"01", "02", "03", "04", "05"};
    std::string number = phone(random, prefixes[random.below(prefixes.size())]);
    if (random.chance(10)) {
        number = "+33 " + number.substr(1);
    }
    return number;
}

std::string address(Random& random) {
    std::string text = std::to_string(1 + random.below(180));
    if (random.chance(8)) {
        text += random.chance(70) ? " bis" : " ter";
    }
    text += ' ';
    text += random.pick(kStreetKinds);
    text += ' ';
    text += random.pick(kStreetNames);
    if (random.chance(15)) {
        text += random.chance(50) ? ", bâtiment B" : ", 3e étage";
    }
    text += ", ";
    text += random.pick(kTowns);
    return text;
}

Contact makeContact(Random& random) {
    Contact c;
    const std::string family = surname(random);
    const std::string first(random.pick(kFirstNames));
    const bool business = random.chance(40);
    std::string slug;

    if (business) {
        const unsigned form = static_cast<unsigned>(random.below(100));
        const std::string trade(random.pick(kTrades));
        if (form < 45) {
            c.name = trade + " " + family;
        } else if (form < 70) {
            const std::string companyForm(random.pick(kCompanyForms));
            c.name = companyForm + " " + family + (random.chance(50) ? " et Fils" : "");
        } else if (form < 85) {
            c.name = upper(family) + " " + lower(trade);
        } else if (form < 97) {
            c.name = trade + " " + std::string(random.pick(kPlaces));
        } else {
            c.name = trade + " \"" + family + "\"";
        }
        slug = asciiSlug(trade) + "-" + asciiSlug(family);
    } else {
        const unsigned form = static_cast<unsigned>(random.below(100));
        if (form < 45) {
            c.name = family + " " + first;
        } else if (form < 70) {
            c.name = upper(family) + " " + first;
        } else if (form < 90) {
            c.name = first + " " + family;
        } else {
            c.name = lower(family) + " " + lower(first);
        }
        slug = asciiSlug(first) + "." + asciiSlug(family);
    }

    c.address = address(random);
    c.phone = landline(random);
    c.mobile = business && random.chance(50) ? std::string() : phone(random, random.chance(70) ? "06" : "07");
    c.fax = business && random.chance(40) ? landline(random) : std::string();
    if (random.chance(85)) {
        c.mail = business && random.chance(60) ? "contact@" + slug + ".fr"
                                               : slug + "@" + std::string(random.pick(kMailDomains));
    }
    if (business && random.chance(70)) {
        c.site = (random.chance(80) ? "https://www." : "http://www.") + slug + ".fr/";
    } else if (random.chance(8)) {
        c.site = "https://" + slug + ".fr/";
    }
    if (random.chance(70)) {
        c.comment = random.pick(kComments);
        if (random.chance(25)) {
            c.comment += ". ";
            c.comment += random.pick(kComments);
        }
    }
    return c;
}

} // namespace

std::vector<Contact> generateContacts(std::size_t count, std::uint64_t seed) {
    Random random(seed);
    std::vector<Contact> contacts;
    contacts.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        contacts.push_back(makeContact(random));
    }
    return contacts;
}

std::size_t textBytes(const Contact& record) {
    std::size_t bytes = 0;
    for (const RecordField& field : kRecordFields) {
        bytes += (record.*field.text).size();
    }
    return bytes;
}

} // namespace fichelia::bench
