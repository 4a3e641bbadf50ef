#include "history/HistoryArchiveWriter_Unt.h"

#include <QMetaObject>
#include <QMutexLocker>
#include <QThread>

#include <memory>
#include <utility>

// Lives on the writer's thread; its archive connection is made, used and
// closed there only.
class THistoryArchiveWriter::TWorker : public QObject
{
public:
    explicit TWorker(const QString &path) : m_path(path) {}

    TResult Store(int ticket, const QString &imei, const QString &model,
                  const QVector<TArchivedRecord> &records, const QDateTime &readTime)
    {
        TResult result;
        result.ticket = ticket;
        if (!m_archive)
            m_archive = std::make_unique<THistoryArchive>(m_path);
        // A file that was locked or missing before may be usable now.
        if (!m_archive->IsReady())
            m_archive->Open();
        if (m_archive->IsReady())
            result.added = m_archive->Store(imei, model, records, readTime);
        result.status = m_archive->Status();
        result.error = m_archive->ErrorText();
        return result;
    }

    void Close() { m_archive.reset(); }

private:
    QString m_path;
    std::unique_ptr<THistoryArchive> m_archive;
};

THistoryArchiveWriter::THistoryArchiveWriter(const QString &path, QObject *parent)
    : QObject(parent), m_path(path), m_thread(new QThread(this)), m_worker(new TWorker(path))
{
    m_thread->setObjectName(QStringLiteral("archive writer"));
    m_worker->moveToThread(m_thread);
    m_thread->start();
}

THistoryArchiveWriter::~THistoryArchiveWriter()
{
    TWorker *worker = m_worker;
    QMetaObject::invokeMethod(worker, [worker] { worker->Close(); }, Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
    delete m_worker;
}

int THistoryArchiveWriter::Store(const QString &imei, const QString &model,
                                 const QVector<TArchivedRecord> &records, const QDateTime &readTime)
{
    const int ticket = ++m_nextTicket;
    TWorker *worker = m_worker;
    QMetaObject::invokeMethod(worker, [this, worker, ticket, imei, model, records, readTime] {
        const TResult result = worker->Store(ticket, imei, model, records, readTime);
        {
            QMutexLocker locker(&m_lock);
            m_results.append(result);
        }
        QMetaObject::invokeMethod(this, &THistoryArchiveWriter::batchesStored, Qt::QueuedConnection);
    }, Qt::QueuedConnection);
    return ticket;
}

void THistoryArchiveWriter::WaitForStored()
{
    // The worker takes its calls in order: once this one has run, every
    // batch before it has.
    QMetaObject::invokeMethod(m_worker, [] {}, Qt::BlockingQueuedConnection);
}

QVector<THistoryArchiveWriter::TResult> THistoryArchiveWriter::TakeResults()
{
    QMutexLocker locker(&m_lock);
    return std::exchange(m_results, {});
}
