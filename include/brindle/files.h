// Commands for files and directories, the file dialog, the line file and the
// INI file, functions of other libraries and other programs. A file name is
// found as Windows finds it on both targets: in any letter case, with
// backslashes or "/" between folders (this holds for media files too).
// Start-up makes the executable's folder the current directory: relative
// paths are taken from there, not from where the program was started.
#pragma once
#include <brindle/arrays.h>
#include <brindle/rtstring.h>

// Deletes the file; no result.
void RemoveFile(const RtString& path);
// Copies the file over any existing destination; a copy that fails (or a read-only destination) leaves the destination as it was.
void CopyFileData(const RtString& source, const RtString& destination);
// 1 if the file can be opened for reading, else 0 (also 0 for a directory).
double FileExists(const RtString& path);
// The current directory with "/" separators and exactly one trailing "/"; at start the executable's folder (the runtime changes into it), not the one the program was started from.
RtString CurrentDirectory();
// Makes the path the current directory; 1 on success, else 0.
double ChangeDirectory(const RtString& path);
// Turns every backslash of the variable's text into "/".
void ToForwardSlashes(RtString& path);
// Fills names with the current directory's subdirectories, then its files matching the pattern ("*", "?"); returns directories x 65536 + files.
double ListDirectory(const RtString& pattern, StringArray& names);
// Asks for a file with the open (open != 0) or save dialog, filter "Text|*.txt|All|*.*"; the path with "/" separators, or "NO_FILE".
RtString FileDialog(double open, const RtString& filter);

// Line files: entries 0..255 are the file's first 256 lines, of any length. The file is written back when another is taken and at exit: only the entries written change (in the file's own line ending, CR LF in a new file); the lines after entry 255 and every other byte stay. A read-only file is not written back (error log line).

// Entry 0..255 of the line file (trailing bytes 0..31 dropped); "NO_DATA" when empty, "NO_FILE" when the file is missing.
RtString ReadLineText(const RtString& file, double entry);
// Entry 0..255 of the line file as a number (0 for no number).
double ReadLineNumber(const RtString& file, double entry);
// Sets entry 0..255 of the line file to the text.
void WriteLineText(const RtString& file, double entry, const RtString& text);
// Sets entry 0..255 of the line file to the number's text (5 as "5", 2.5 as "2.5").
void WriteLineNumber(const RtString& file, double entry, double number);

// INI files are read by the format's rules: a section name ends at its first space, tab or "=" ("[Desktop Entry]" names the section Desktop; the first of two sections of one name is found); a key too ("Width = 640" gives Width the value "= 640"); ";" starts a comment; a leading UTF-8 byte-order mark is skipped. A write-back changes only the lines of the pairs the program changed, added or removed, and keeps every other byte (comments, blank lines, spacing, headers as written, line endings, the mark). A changed pair's line keeps its indentation, key and separator, except that "Width = 640" becomes "Width=800" (read back as 800, by this program and by the file's owner). An added pair goes after the last pair its section had in the file; a new section at the end, with the file's own line ending (CR LF in a new file); pairs without a section before the first header. Removing a section removes its pairs and its header (kept when "[]" headers after it still take its name); removals keep the other sections and pairs in their order, as the file does. A file that came from the media pack is written to its name in the working directory; a read-only file is not written (error log line).

// Writes the INI data back if it changed, then reads the named INI file.
void IniOpen(const RtString& file);
// The value of the key in the section (case ignored), or "NO_DATA".
RtString IniGet(const RtString& section, const RtString& key);
// Adds or replaces the pair; an empty value removes the key, an empty key the section. Refused (error log line, nothing changed) when it would not read back: a new section name or key with a space, tab, line break or "=", a new key starting with ";" or "[", a value with a line feed.
void IniPut(const RtString& section, const RtString& key, const RtString& value);

// Loads the library (a bare name beside the program first) and stores the function's address in pointer (null when absent) and returns it; null, pointer unchanged, when the library cannot be loaded.
void* ImportFunction(const RtString& library, const RtString& function, void*& pointer);
// Starts the command line, split as Windows splits it and run without a shell (show != 0: its window shown); with wait != 0 waits and stores its exit code; 1 if started, else 0.
double RunProgram(const RtString& commandLine, double wait, double show, double& exitCode);
