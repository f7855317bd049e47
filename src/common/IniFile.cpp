#include "common/IniFile.h"

#include <QFile>
#include <cstring>
#include <string>

// The packaged header keeps its template bodies behind this switch; this is the only file that uses them.
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

struct IniFile::Impl {
    // ANSI (CP932) data, one value per key, no multi-line values.
    CSimpleIniA ini{false, false, false};

    Impl() { ini.SetSpaces(false); }
};

namespace {

// Section and key names are ASCII in every file of the program; one that does not convert cannot
// be in the file, and "?" stands for it.
QByteArray Name(const QString& text) {
    return ToCp932(text).Bytes;
}

bool HasLineEnd(const char* name) {
    return std::strpbrk(name, "\r\n") != nullptr;
}

// Why these bytes are no INI text that the parser would read whole, or nothing. SimpleIni stops at
// a NUL as at the end; a UTF-16 file reads as no keys at all; a "[" without its "]" makes the
// section name run into the following lines, which hides their keys and would be written back with
// a line break in it. Each would load as something less than the file, and a save would replace the
// rest of it. Bytes 0xFD to 0xFF are in no CP932 character: they mark UTF-16 and binary files, and
// a file that held them in its first key could be saved as one that starts like UTF-16.
QString Unreadable(const QByteArray& bytes) {
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return QStringLiteral("Not an INI text file: it is UTF-16 text");
    for (const char c : bytes) {
        if (c == '\0') return QStringLiteral("Not an INI text file: it holds a NUL byte");
        if (quint8(c) >= 0xFD)
            return QStringLiteral("Not an INI text file: it holds the byte 0x%1, which no CP932 text has")
                .arg(QString::number(quint8(c), 16).toUpper());
    }
    int lineNo = 0;
    // The parser drops a UTF-8 byte-order mark before it reads the first line.
    for (qsizetype start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0; start <= bytes.size();) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        ++lineNo;
        const QByteArrayView line = QByteArrayView(bytes).sliced(start, end - start);
        qsizetype i = 0;
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i < line.size() && line[i] == '[' && !line.contains(']'))
            return QStringLiteral("Line %1: a section name without its \"]\"").arg(lineNo);
        start = end + 1;
    }
    return {};
}

} // namespace

IniFile::IniFile() : impl_(std::make_unique<Impl>()) {}

IniFile::~IniFile() = default;

FileResult IniFile::Load(const QString& path) {
    impl_->ini.Reset();
    encodingError_.clear();
    exists_ = false;
    fileComment_ = false;
    QFile file(path);
    if (!file.exists()) return {};
    if (!file.open(QIODevice::ReadOnly)) return FileResult::Failure(file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return FileResult::Failure(file.errorString());
    if (const QString why = Unreadable(bytes); !why.isEmpty()) return FileResult::Failure(why);
    const SI_Error rc = impl_->ini.LoadData(bytes.constData(), size_t(bytes.size()));
    if (rc < 0) {
        impl_->ini.Reset();
        return FileResult::Failure(rc == SI_NOMEM ? QStringLiteral("Out of memory")
                                                  : QStringLiteral("Unreadable INI data"));
    }
    // What the line check cannot see: any name the parser made across a line end.
    for (const TIniSection& section : Sections()) {
        bool broken = HasLineEnd(section.Name.constData());
        for (const auto& [key, value] : section.Keys)
            broken = broken || HasLineEnd(key.constData());
        if (broken) {
            impl_->ini.Reset();
            return FileResult::Failure(QStringLiteral("A section or key name runs over a line end"));
        }
    }
    const QByteArrayView body = QByteArrayView(bytes).sliced(bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0);
    fileComment_ = body.startsWith(';') || body.startsWith('#');
    exists_ = true;
    return {};
}

QList<TIniSection> IniFile::Sections() const {
    CSimpleIniA::TNamesDepend sections;
    impl_->ini.GetAllSections(sections);
    sections.sort(CSimpleIniA::Entry::LoadOrder());
    QList<TIniSection> out;
    for (const CSimpleIniA::Entry& section : sections) {
        TIniSection s{QByteArray(section.pItem), {}};
        // "[]" names the keys before the first header; without keys it holds nothing to keep.
        if (s.Name.isEmpty() && impl_->ini.GetSectionSize(section.pItem) <= 0) continue;
        CSimpleIniA::TNamesDepend keys;
        impl_->ini.GetAllKeys(section.pItem, keys);
        keys.sort(CSimpleIniA::Entry::LoadOrder());
        for (const CSimpleIniA::Entry& key : keys)
            s.Keys.append(
                {QByteArray(key.pItem), QByteArray(impl_->ini.GetValue(section.pItem, key.pItem, ""))});
        out.append(std::move(s));
    }
    return out;
}

bool IniFile::HasKey(const QString& section, const QString& key) const {
    return impl_->ini.GetValue(Name(section).constData(), Name(key).constData(), nullptr) != nullptr;
}

QString IniFile::ReadString(const QString& section, const QString& key, const QString& def) const {
    const char* value = impl_->ini.GetValue(Name(section).constData(), Name(key).constData(), nullptr);
    if (!value) return def;
    const TCp932Text text = FromCp932(QByteArray(value));
    return text.Ok() ? text.Text : def;
}

int IniFile::ReadInteger(const QString& section, const QString& key, int def) const {
    bool ok = false;
    const int value = ReadString(section, key, QString()).trimmed().toInt(&ok, 10);
    return ok ? value : def;
}

bool IniFile::ReadBool(const QString& section, const QString& key, bool def) const {
    const QString value = ReadString(section, key, QString()).trimmed();
    if (value == QLatin1String("1") || value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (value == QLatin1String("0") || value.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    return def;
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    // A value that would lose a character fails the next save instead of being written mangled.
    const TCp932Bytes bytes = ToCp932(value, TUnmappable::Refuse);
    if (!bytes.Ok()) {
        if (encodingError_.isEmpty()) encodingError_ = bytes.Error;
        return;
    }
    impl_->ini.SetValue(Name(section).constData(), Name(key).constData(), bytes.Bytes.constData());
}

void IniFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

void IniFile::WriteBool(const QString& section, const QString& key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QByteArray IniFile::ToBytes() const {
    std::string text;
    impl_->ini.Save(text, false);
    // SimpleIni ends lines with "\n" here and puts two empty lines between sections; the program's files
    // use CR LF and at most one empty line.
    QByteArray bytes;
    bytes.reserve(qsizetype(text.size() + text.size() / 8));
    bool lineEmpty = true;
    bool previousEmpty = true; // no empty line before the first one
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') continue;
        if (c != '\n') {
            bytes += c;
            lineEmpty = false;
            continue;
        }
        if (!(lineEmpty && previousEmpty)) bytes += "\r\n";
        previousEmpty = lineEmpty;
        lineEmpty = true;
    }
    if (!lineEmpty) bytes += "\r\n";
    // The reader takes comment lines at the very start of a file for the file's own comment, which
    // the writer follows with an empty line. The comment of a first key or section, in a file
    // without one, stays that key's or section's behind an empty line of its own; otherwise the
    // next save would add one.
    if (!fileComment_ && (bytes.startsWith(';') || bytes.startsWith('#'))) bytes.prepend("\r\n");
    // The reader takes a UTF-8 byte-order mark at the start of a file for one and drops it. A first
    // key whose name begins with those bytes (CP932 text can) keeps them behind a mark of its own.
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.prepend("\xEF\xBB\xBF");
    return bytes;
}

FileResult IniFile::Save(const QString& path) const {
    if (!encodingError_.isEmpty()) return FileResult::Failure(encodingError_);
    return ReplaceFileBytes(path, ToBytes());
}
