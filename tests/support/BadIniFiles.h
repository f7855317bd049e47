#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringEncoder>
#include <ostream>

// Files that exist but are no INI text the program can read whole. Each holds keys that a partial
// read would take or lose ([Early-WS] AdjWS, [Record] SecRec, [ComPortM] Port), so that a test can
// tell a refused file from one read in part.
struct TBadIniFile {
    const char* Name;
    QByteArray Bytes;
};

inline std::ostream& operator<<(std::ostream& os, const TBadIniFile& f) {
    return os << f.Name;
}

inline QList<TBadIniFile> BadIniFiles() {
    const QString text = QStringLiteral("[Early-WS]\r\nAdjWS=7.5\r\n[ComPortM]\r\nPort=/dev/ttyUSB3\r\n"
                                        "[Record]\r\nSecRec=1\r\n[Mine]\r\nNote=keep\r\n");
    const auto encoded = [&](QStringConverter::Encoding e, bool bom) {
        QStringEncoder encoder(e, bom ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
        return QByteArray(encoder.encode(text));
    };
    QByteArray binary(4096, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = char((i * 131 + 7) % 256);
    return {
        {"NulAfterTheFirstSection",
         QByteArray("[Early-WS]\r\nAdjWS=7.5\r\n") + '\0' +
             "[ComPortM]\r\nPort=/dev/ttyUSB3\r\n[Record]\r\nSecRec=1\r\n[Mine]\r\nNote=keep\r\n"},
        {"NulAtTheEnd", text.toLatin1() + '\0'},
        {"Binary", binary},
        {"Utf16LittleEndianWithMark", encoded(QStringConverter::Utf16LE, true)},
        {"Utf16BigEndianWithMark", encoded(QStringConverter::Utf16BE, true)},
        {"Utf16WithoutMark", encoded(QStringConverter::Utf16LE, false)},
        {"Utf32WithMark", encoded(QStringConverter::Utf32LE, true)},
        {"SectionWithoutItsBracket",
         "[Early-WS\r\nAdjWS=7.5\r\n[ComPortM]\r\nPort=/dev/ttyUSB3\r\n[Record]\r\nSecRec=1\r\n"},
        {"BracketAloneOnItsLine", "[\r\nEarly-WS]\r\nAdjWS=7.5\r\n[Record]\r\nSecRec=1\r\n"},
        {"IndentedSectionWithoutItsBracket", "[Record]\r\nSecRec=1\r\n  [Mine\nNote=keep\n"},
        {"LastLineOpensASection", "[Record]\r\nSecRec=1\r\n[ComPortM]\r\nPort=/dev/ttyUSB3\r\n[Mine"},
        {"SectionAfterAUtf8Mark", "\xEF\xBB\xBF[\r\nRecord]\r\nSecRec=1\r\n"},
        {"ByteNoCp932TextHas", "[Record]\r\nSecRec=1\r\n[Mine]\r\nNote=\xFF\r\n"},
    };
}
