#include "monitor/RecordWriter.h"
#include "monitor/RecordStorage.h"
#include <QDir>

TRecordWriter::TRecordWriter(std::unique_ptr<RecordStorage> storage, const QString& folder, TMode mode,
                             int capacity)
    : storage_(std::move(storage)), folder_(folder), files_(*storage_, folder), mode_(mode),
      capacity_(capacity) {
    if (mode_ == TMode::Thread) thread_ = std::thread([this] { Run(); });
}

TRecordWriter::~TRecordWriter() {
    if (!thread_.joinable()) return;
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void TRecordWriter::Submit(TRecordRow row) {
    if (mode_ == TMode::Inline) return Write(row);
    bool wake = false;
    {
        const std::lock_guard lock(mutex_);
        if (int(waiting_.size()) >= capacity_) {
            Record(row,
                   FileResult::Failure(
                       QStringLiteral("%1 rows wait for the disk; this one is lost").arg(waiting_.size())));
            return;
        }
        waiting_.push_back(std::move(row));
        // A writer at work looks for more rows before it waits again; only a waiting one needs a call.
        wake = writerWaits_;
    }
    if (wake) wake_.notify_one();
}

QList<TRecordOutcome> TRecordWriter::TakeOutcomes() {
    // Asked at every tick; most ticks wrote nothing, and need not wait for a busy writer's lock.
    if (!anyOutcome_.load(std::memory_order_acquire)) return {};
    const std::lock_guard lock(mutex_);
    anyOutcome_.store(false, std::memory_order_relaxed);
    return std::exchange(outcomes_, {});
}

void TRecordWriter::Flush() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return waiting_.empty() && !writing_; });
}

// Outside the lock: the file system may block.
void TRecordWriter::Write(const TRecordRow& row) {
    bool started = false;
    const FileResult result = files_.Write(row, &started);
    const std::lock_guard lock(mutex_);
    Record(row, result, started);
}

void TRecordWriter::Record(const TRecordRow& row, const FileResult& result, bool started) {
    if (row.Text.isEmpty()) return;
    outcomes_.append({row.Kind, result, started ? QDir(folder_).filePath(row.FileName) : QString()});
    anyOutcome_.store(true, std::memory_order_release);
}

void TRecordWriter::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        writerWaits_ = true;
        wake_.wait(lock, [this] { return ending_ || !waiting_.empty(); });
        writerWaits_ = false;
        // Whatever waits is written before the end: the program's end must not lose a row.
        if (waiting_.empty()) return;
        // Everything that waits at once: rows that piled up behind a slow write go out together.
        std::vector<TRecordRow> rows(std::make_move_iterator(waiting_.begin()),
                                     std::make_move_iterator(waiting_.end()));
        waiting_.clear();
        writing_ = true;
        lock.unlock();
        const QList<TRecordFiles::TWritten> written = files_.WriteAll(rows);
        lock.lock();
        writing_ = false;
        for (size_t k = 0; k < rows.size(); ++k)
            Record(rows[k], written[qsizetype(k)].Result, written[qsizetype(k)].StartedFile);
        if (waiting_.empty()) idle_.notify_all();
    }
}
