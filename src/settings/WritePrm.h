#pragma once
#include "common/DateTime.h"
#include "common/TextFile.h"
#include <QString>
#include <array>

// The instrument's parameter set. Plain value; every number is the 32-bit value the instrument holds.
struct TWritePrm {
    TDateTime CalStart = 0;
    QString SerialNo;
    std::array<float, 4> WDDif{};
    float RevX = 1.0f;
    float RevY = 1.0f;
    float RevZp = 1.0f;
    float RevZn = 1.0f;
    std::array<float, 6> VSCoef{0, 0.1f, 0, 0, 0, 0};
    float HeaterWatt = 0.2f;
    float DifT0m = 50.0f;
    float AdjDifT = 20.0f;
    float AdjWS = 5.0f;
    std::array<float, 2> ATDif{};
    // Sent as P41; nothing shows, stores or changes it.
    float ParamP41 = 0;
    std::array<float, 10> RevDiv{};
    std::array<float, 10> RevVal{};
    float ChipStdV = 2500.0f;

    // Every field from WDDif to ChipStdV except ParamP41 to its default.
    void SetDefaults();

    // Writes the 41 keys into the file, keeping every other section and key; the whole file is
    // replaced at once, so a failed save leaves the old file whole. A file that exists but cannot be
    // read is not overwritten (its other sections would be lost).
    FileResult SaveSetpoint(const QString& path) const;
    // Sets all 41 file-backed fields: a missing, empty or malformed value gives the default. A
    // missing file gives every default; a file that exists but cannot be read changes nothing.
    // `keysFound`, when given, receives how many of the 41 keys the file holds (with any value).
    FileResult LoadSetpoint(const QString& path, int* keysFound = nullptr);

    bool operator==(const TWritePrm&) const = default;
};

inline const QString BaseSetpointFileName = QStringLiteral("BaseSetpoint.ini");
inline const QString DefaultSetpointFileName = QStringLiteral("DefaultPrm.krv");
