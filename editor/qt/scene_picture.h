#pragma once
// The picture of the 3D view that screenshots and the report's view pages show: the rendered view, the
// level colour bar beside it stretched to the view's height, the program's logo in the lower left corner
// at half opacity, a small logo in the upper left corner, a frame, and under it all a 20-pixel grey band
// ($FF808080) with the caption naming the view, the band and the centre frequency.

#include <QImage>
#include <QString>

#include <filesystem>
#include <string>

namespace vendrel {

// View and Bar are the view's and the colour bar's pictures; Logo and SmallLogo may be null images.
// A null View gives a null picture.
QImage ComposeScenePicture(const QImage& View, const QImage& Bar, const QImage& Logo, const QImage& SmallLogo,
                           const QString& Caption);

// Writes the picture as a JPEG file (default quality) through a temporary file, so a failed write leaves
// a file of that name as it was. An empty message when written, otherwise what went wrong.
std::string SaveScenePicture(const QImage& Picture, const std::filesystem::path& FileName);

} // namespace vendrel
