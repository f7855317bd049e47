#pragma once
#include <QString>

// The directory of the running executable; ChooseFolders() decides whether the files live there.
QString ProgramDir();
