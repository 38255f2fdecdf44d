#pragma once

// PDF pictures come from outside: dropped, pasted, imported, or inside a document or kit.
// Damaged PDF data can keep poppler busy for minutes (its repair of a broken cross-reference
// table has no time limit and cannot be stopped from outside), or crash it. So a PDF
// picture is first read by a child process of the program, which is stopped when reading
// takes longer than a few seconds; only data the child read in time is then read here, and
// data that took too long or made the child fail is refused as damaged. Each distinct PDF
// is read by a child once while its verdict is kept.

#include <optional>

namespace platform {

// A program offers itself as that child by calling this first thing in main(), before
// anything else starts. Started as the child, it reads the PDF handed on its standard
// input, says what it found, and gives the exit code to return. Otherwise it gives nothing,
// and the PDF pictures of this process are read by children of this program from then on.
// A program that never calls it reads PDF pictures in its own process.
std::optional<int> servePDFReadingIfAsked(int argc, char** argv);

// For tests: how long the child may take to read, in milliseconds (5,000 unless set).
void setPDFReadingTimeLimit(int milliseconds);

} // namespace platform
