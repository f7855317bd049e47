#pragma once
#include <QString>

// The directory of the running executable: Port0.ini, BaseSetpoint.ini and the records live there.
QString ProgramDir();
