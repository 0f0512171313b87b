// Opening web and mail addresses and documents, and starting programs.
//
// Addresses and documents go to the desktop's opener (xdg-open, or the
// program named by KIVO_OPENER); programs are started with an argument
// vector. No text is ever passed through a command shell.
#pragma once

// Opens text: a mail address (a text with "mailto:", or with exactly one
// "@" that is not a web address) as "mailto:ADDRESS"; a web address (a
// text with "http:", "https:", "ftp:" or "www"; "www..." without a scheme
// gets "http://") with the opener; anything else with kvshellrun.
// Returns 1 when the opener or program was started, 0 otherwise.
int kvopenurl(const char* text);

// Runs a program or opens a document:
// - a text with ".exe" (or ".EXE"): the program is the text up to the
//   extension (on Linux also the same name without ".exe"), everything from
//   five characters after the point on is its parameters;
// - a text naming an existing file or folder: made a full path; an
//   executable file is started, anything else goes to the opener;
// - a web or mail address goes to the opener;
// - otherwise the text is split like a command line: the first word is the
//   program (the current folder first, then PATH), the rest its arguments.
// A program name without "/" is looked for in the current folder first.
// True when the program or the opener was started.
bool kvshellrun(const char* command);
