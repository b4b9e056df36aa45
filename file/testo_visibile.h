#pragma once

#include <string>
#include <string_view>

// A file name or a typed value as a message may quote it: control
// characters (C0, DEL, C1) and bytes that are not UTF-8 are written out as
// escapes (\n, \t, \x1b, \xff, \u009b), a backslash as \\, so that a name can
// neither drive the terminal nor lose its bytes. Everything else is kept.
std::string testoVisibile(std::string_view testo);
