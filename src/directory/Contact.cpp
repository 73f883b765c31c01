#include "directory/Contact.h"

#include <algorithm>

namespace fichelia {

std::string applyCommentQuoteRule(std::string commentaire) {
    std::replace(commentaire.begin(), commentaire.end(), '"', '\'');
    return commentaire;
}

} // namespace fichelia
