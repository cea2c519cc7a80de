#pragma once

#include <QString>

// Where the program finds its files.
namespace Paths {

// The folder of the executable.
QString programFolder();
// The folder holding Sample1.mp3: beside the executable, or the installed data
// folder when the program was installed without them beside it.
QString sampleFolder();
// "Profiles" beside the executable, or in the user's data folder when the
// program's own folder cannot hold it (an install into a system folder).
QString profilesFolder();

} // namespace Paths
