#pragma once
// The names of a screenshot of the 3D view: the file name proposed to the user, the file the picture is
// written to, and the caption line drawn under the picture.

#include <cstdint>
#include <filesystem>
#include <string>

namespace vendrel {

enum class TViewType : uint8_t;

// "Side", "Top", "3D" or "Front".
std::string ScreenshotViewWord(TViewType View);
// Installation name + " @ " + centre frequency + " " + band + " " + view word, every "/" made "-"
// ("Hall @ 1000 Hz 1-3 Octave 3D").
std::string ScreenshotProposedName(const std::string& InstallName, const std::string& CenterFrequency,
                                   const std::string& Band, TViewType View);
// The file a chosen name is written to: the name itself when it already ends in ".jpeg" or ".jpg" (in
// any case), otherwise the name with ".jpeg" appended, so a dot inside the name ("Hall 2.0 @ ...") is
// never taken for an extension.
std::filesystem::path ScreenshotFileName(const std::filesystem::path& Chosen);
// The caption under the picture: "View: Side  " (the view's name padded to 12 characters), then
// "  |  Bandwidth: " + band + "  |  Center Frequency: " + centre frequency.
std::string ScreenshotCaption(TViewType View, const std::string& Band, const std::string& CenterFrequency);

} // namespace vendrel
