#pragma once

#include <string>

namespace fichelia::tool {

// What --help shows: the whole tool, or one command (write --help, read --help).
enum class HelpTopic { All, Write, Read };

// In French, every line within 80 columns.
std::string helpText(HelpTopic topic);

} // namespace fichelia::tool
