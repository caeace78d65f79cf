// PrintText: what the command line says (--help, --version, a mistake, a failed hand-over) reaches
// the terminal that started the program. tellwick.exe is a Windows program without a console of its
// own: it writes to its standard handles when they lead somewhere (a pipe or a file), else to the
// console of the process that started it, else it shows the text in a message box.
#pragma once

#include <string>

namespace tw {

// Writes text (UTF-8) to stdout, or to stderr when error is true. Nothing for an empty text.
void PrintText(const std::string& text, bool error);

} // namespace tw
