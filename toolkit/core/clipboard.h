// The text clipboard. Toolkit texts are in code page 1252 (a text that is
// already valid UTF-8 is taken as it is); the clipboard holds UTF-8.
#pragma once

// Places text on the clipboard as plain text. Line feeds become carriage
// return plus line feed unless the text already contains a carriage return.
void kvclipboard_set(const char* text);
// The clipboard's plain text in code page 1252 (characters it lacks become
// "?"), or nullptr when there is none. The text stays valid until the next
// call. Entry thread only.
const char* kvclipboard_get();
