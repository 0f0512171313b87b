// The user's and the computer's names, and the pointer shape.
#pragma once

#include <string>

// The login name of the user (at most 999 characters). The returned text is
// the library's own copy and stays valid for the life of the process; out,
// when given, receives the name too.
const char* kvusername(std::string* out = nullptr);
// The computer's host name (at most 999 characters), as kvusername.
const char* kvcomputername(std::string* out = nullptr);

// Sets the pointer shape over the program's windows: "hand" or "standard"
// (also "ibeam", "wait", "cross"), compared without regard to case. Other
// names print "kvsetcursor: unknown cursor NAME" and change nothing.
void kvsetcursor(const char* name);
