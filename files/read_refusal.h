#pragma once
// The message that tells the user why a file was not read. Its first line says what happened in the
// user's words, naming the file; the second gives the reader's own detail (field and byte) for support.

#include <exception>
#include <filesystem>
#include <string>

namespace vendrel {

// Error: what a reader or the file system raised (EReadError, EFileError, anything else). Kind names
// what the file should be, as the user calls it ("project", "venue", "sound system", "overlay",
// "library model"); SoftwareName is the program's name ("Vendrel").
std::string ReadRefusalMessage(const std::filesystem::path& File, const std::string& Kind,
                               const std::string& SoftwareName, std::exception_ptr Error);

// The first line alone, for a file of another program (a reader refuses it without raising).
std::string NotOurFileSentence(const std::filesystem::path& File, const std::string& Kind,
                               const std::string& SoftwareName);

} // namespace vendrel
