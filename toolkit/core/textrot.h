// Letter and digit rotation (ROT13 and its digit-rotating variant).
#pragma once

#include <string>

void kvrot13(char* text);
void kvrot13(std::string& text);
// kvrot13, then each digit d becomes (d + 5) mod 10; its own inverse.
void kvrot18(char* text);
void kvrot18(std::string& text);
