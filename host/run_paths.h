// The run's paths: those of the command line taken from the folder the program was started in,
// told back as the person knows them (under Wine the Unix ones), and the output folder made,
// entered and tried before anything is written into it.
#pragma once
#include <windows.h>

#include <string>

// A file in the folder of this program.
std::string besideProgram(const char* file);

// The path made full against the current folder; as given when that fails.
std::string fullPath(const std::string& path);

std::string joinPath(const std::string& folder, const std::string& file);

// The folder part of a path, "" for a bare name.
std::string folderOf(const std::string& path);

// The path as the person who started the run knows it: under Wine the Unix one. A path that
// does not exist (yet) is told by the Unix name of the nearest folder above it that does.
std::string shownPath(const std::string& path);

// Made when missing, entered, and tried with a file of its own before anything is written, so
// that a folder that takes nothing is refused with its reason instead of failing mid-run.
bool enterOutputFolder(const std::string& folder, std::string& error);

// A wide text in the given code page.
std::string fromWide(const wchar_t* text, UINT codePage);

// A text of the database (its names, in the Windows code page the dialog writes them in) as the
// person's terminal shows it, in UTF-8, so that "Zürich" is not printed as a stray byte.
std::string shownText(const std::string& ansi);

// A UTF-8 path from the command line as the ANSI file functions take it, made full.
std::string filePath(const std::string& utf8);
