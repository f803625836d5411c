#include "input/pictureloading.h"

#include "input/loadmessages.h"
#include "input/picturememory.h"

#include <chrono>

#if defined(Q_OS_LINUX)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
constexpr int kLoadingNice = 5;
}
#endif

PictureLoading::PictureLoading(LocalFileName name, QSize view, bool beside)
    : m_name(std::move(name)), m_view(view)
{
    m_thread = std::thread([this, beside] {
        picturememory::setFillAhead(!beside);
#if defined(Q_OS_LINUX)
        // Below the thread that paints: while the program starts, the window
        // comes first and the decoder takes what is left of the machine.
        if (beside)
            setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), kLoadingNice);
#endif
        PictureLoad load;
        try {
            load = loadPicture(m_name, this);
        } catch (const std::bad_alloc&) {
            load = PictureLoad::failure(loadmessages::outOfMemory());
        }
        const std::lock_guard lock(m_mutex);
        m_result = std::move(load);
        m_progress.ended = true;
        m_changed.notify_all();
    });
}

PictureLoading::~PictureLoading()
{
    if (m_thread.joinable())
        m_thread.join();
}

void PictureLoading::firstLook(const QImage& corner, QSize pictureSize)
{
    const std::lock_guard lock(m_mutex);
    m_progress.corner = corner;
    m_progress.size = pictureSize;
    m_changed.notify_all();
}

void PictureLoading::pictureAllocated(const QImage& picture, bool rowsTopFirst)
{
    const std::lock_guard lock(m_mutex);
    m_progress.size = picture.size();
    m_progress.picture = picture;
    m_progress.rowsTopFirst = rowsTopFirst;
    m_changed.notify_all();
}

void PictureLoading::rowsFinal(int rows)
{
    const std::lock_guard lock(m_mutex);
    m_progress.rows = rows;
    if (rows >= m_rowsWanted)
        m_changed.notify_all();
}

PictureLoading::Progress PictureLoading::waitForMore(const Progress& known, int rowsWanted,
                                                     int milliseconds)
{
    std::unique_lock lock(m_mutex);
    m_rowsWanted = rowsWanted;
    m_changed.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] {
        return m_progress.ended || m_progress.rows >= rowsWanted ||
               m_progress.picture.isNull() != known.picture.isNull() ||
               m_progress.corner.isNull() != known.corner.isNull();
    });
    return m_progress;
}

PictureLoad PictureLoading::result()
{
    if (m_thread.joinable())
        m_thread.join();
    // The observer's copy of the picture goes, so that the result holds the only one.
    m_progress.picture = QImage();
    m_progress.corner = QImage();
    return std::move(m_result);
}
