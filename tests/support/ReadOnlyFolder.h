#pragma once
#include <QDirIterator>
#include <QFile>
#include <QList>
#include <sys/fsuid.h>
#include <unistd.h>
#include <utility>

// While it lives, a folder and everything in it can be read but not written: the write bits are
// taken away, and since root ignores them (the tests may run as root), this thread's file-system
// identity becomes "nobody" meanwhile, which the kernel checks them against like anyone else's.
class ReadOnlyFolder {
  public:
    explicit ReadOnlyFolder(const QString& folder) {
        Take(folder);
        QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            Take(it.next());
        if (geteuid() == 0) {
            setfsgid(Nobody);
            setfsuid(Nobody);
            dropped_ = true;
        }
    }
    ~ReadOnlyFolder() {
        if (dropped_) {
            setfsuid(0);
            setfsgid(0);
        }
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
            QFile::setPermissions(it->first, it->second);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

  private:
    static constexpr uid_t Nobody = 65534;
    void Take(const QString& path) {
        const QFileDevice::Permissions p = QFile::permissions(path);
        saved_.append({path, p});
        constexpr QFileDevice::Permissions write = QFileDevice::WriteOwner | QFileDevice::WriteUser |
                                                   QFileDevice::WriteGroup | QFileDevice::WriteOther;
        constexpr QFileDevice::Permissions read =
            QFileDevice::ReadOwner | QFileDevice::ReadUser | QFileDevice::ReadGroup | QFileDevice::ReadOther;
        const bool folder = QFileInfo(path).isDir();
        const QFileDevice::Permissions enter = folder ? QFileDevice::ExeOwner | QFileDevice::ExeUser |
                                                            QFileDevice::ExeGroup | QFileDevice::ExeOther
                                                      : QFileDevice::Permissions();
        QFile::setPermissions(path, ((p | read | enter) & ~write));
    }
    QList<std::pair<QString, QFileDevice::Permissions>> saved_;
    bool dropped_ = false;
};
