// Types every part of the toolkit shares.
#pragma once

#include <cstdint>

// The universal message function: (object, code, eight arguments) -> result.
// Objects and arguments are pointer-sized so that they can carry pointers.
typedef intptr_t (*kvcallback)(intptr_t object, int code, intptr_t a1, intptr_t a2, intptr_t a3,
                               intptr_t a4, intptr_t a5, intptr_t a6, intptr_t a7, intptr_t a8);
