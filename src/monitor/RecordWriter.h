#pragma once
#include "monitor/RecordFiles.h"
#include <QList>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

class RecordStorage;

// What became of a row.
struct TRecordOutcome {
    TRecordKind Kind = TRecordKind::Minute;
    FileResult Result;
    // The file this row began (a new day file), or empty.
    QString StartedFile;
};

// Appends record rows in the order given, on a thread of its own: a write that blocks (a network
// share that hangs, a USB stick flushing) must not hold up the tick, or every request to the
// instrument is late while it waits. Rows are never dropped while fewer than `capacity` wait; the
// end writes every waiting row before it returns.
class TRecordWriter {
  public:
    // A day of second and minute rows.
    static constexpr int DefaultCapacity = 86'400 + 1'440;
    enum class TMode {
        Thread, // the program's
        // Written at once on the caller's thread: how it was, for the benchmarks' comparison, and for
        // tests whose condition holds for one thread only.
        Inline,
    };

    TRecordWriter(std::unique_ptr<RecordStorage> storage, const QString& folder, TMode mode = TMode::Thread,
                  int capacity = DefaultCapacity);
    ~TRecordWriter();
    TRecordWriter(const TRecordWriter&) = delete;
    TRecordWriter& operator=(const TRecordWriter&) = delete;

    const QString& Folder() const { return folder_; }
    // Queues the row; a row that finds the queue full is lost, and its outcome says so.
    void Submit(TRecordRow row);
    // The outcomes of rows written since the last call, in order; folder-only rows give none.
    QList<TRecordOutcome> TakeOutcomes();
    // Returns once every row submitted so far is written.
    void Flush();

  private:
    void Run();
    void Write(const TRecordRow& row);
    void Record(const TRecordRow& row, const FileResult& result, bool started = false);

    std::unique_ptr<RecordStorage> storage_;
    QString folder_;
    // Used on the writing thread only, once it runs.
    TRecordFiles files_;
    TMode mode_;
    int capacity_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<TRecordRow> waiting_;
    QList<TRecordOutcome> outcomes_;
    bool writing_ = false;
    bool ending_ = false;
    bool writerWaits_ = false;
    std::atomic<bool> anyOutcome_{false};
    std::thread thread_;
};
