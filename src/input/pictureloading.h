#pragma once

// A picture read on a thread of its own. The thread that started it may wait
// for the rows to come and paint them as they do, without running its event
// loop: the picture shows as it decodes while every other event waits for the
// load to end. A load can start before the program has a window at all.

#include "input/loadobserver.h"
#include "input/localfilename.h"
#include "input/pictureloader.h"

#include <QImage>
#include <condition_variable>
#include <mutex>
#include <thread>

class PictureLoading final : private LoadObserver
{
  public:
    // beside says the program goes on with other work while the picture loads
    // (its start-up), which the load then leaves the machine to; view is the
    // size of the top-left corner shown first, which a reader that can may
    // decode ahead of the rest.
    PictureLoading(LocalFileName name, QSize view, bool beside = false);
    // Waits for the load to end.
    ~PictureLoading() override;
    PictureLoading(const PictureLoading&) = delete;
    PictureLoading& operator=(const PictureLoading&) = delete;

    const LocalFileName& name() const { return m_name; }

    // What the loading thread has done so far, at one moment.
    struct Progress
    {
        QImage corner;  // the top-left corner decoded ahead, if any
        QSize size;     // the picture's size, once known
        QImage picture; // null until its memory is allocated
        bool rowsTopFirst = false;
        int rows = 0; // rows 0 to rows - 1 hold their final pixels
        bool ended = false;
    };
    // Waits until there is more than known (the corner, the picture, the end,
    // or at least rowsWanted rows) or milliseconds pass, and tells what there
    // is. Rows short of rowsWanted do not wake the waiter, so one that has
    // painted all it shows is not woken for every batch of rows below.
    Progress waitForMore(const Progress& known, int rowsWanted, int milliseconds);
    // Waits for the end and hands over the result.
    PictureLoad result();

  private:
    void pictureAllocated(const QImage& picture, bool rowsTopFirst) override;
    void rowsFinal(int rows) override;
    QSize firstLookSize() const override { return m_view; }
    void firstLook(const QImage& corner, QSize pictureSize) override;

    LocalFileName m_name;
    QSize m_view;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    Progress m_progress;
    int m_rowsWanted = 1;
    PictureLoad m_result;
    std::thread m_thread;
};
