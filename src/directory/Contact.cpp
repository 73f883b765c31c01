#include "directory/Contact.h"

#include <algorithm>

namespace fichelia {

std::string applyCommentQuoteRule(std::string comment) {
    std::replace(comment.begin(), comment.end(), '"', '\'');
    return comment;
}

} // namespace fichelia
