#include "OrderedWork.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// What the workers and the finishing thread share, under one lock.
class CWorkQueue {
public:
    CWorkQueue(size_t count, size_t ahead, const std::function<void(size_t)>& prepare)
        : m_count(count), m_ahead(std::max<size_t>(ahead, 1)), m_prepare(prepare), m_done(count, 0)
    {
    }

    // A worker's life: take the next item while there is room ahead of the
    // finishing thread, prepare it, mark it done.
    void Work()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [&] { return m_stopped || m_next >= m_count || m_next < m_finished + m_ahead; });
            if (m_stopped || m_next >= m_count)
                return;
            const size_t i = m_next++;
            lock.unlock();
            try {
                m_prepare(i);
            } catch (...) {
                // Nothing may leave a thread; the item is finished as it stands.
            }
            lock.lock();
            m_done[i] = 1;
            m_changed.notify_all();
        }
    }

    void WaitFor(size_t i)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [&] { return m_done[i] != 0; });
    }

    void Finished(size_t i)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_finished = i + 1;
        m_changed.notify_all();
    }

    void Stop()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopped = true;
        m_changed.notify_all();
    }

private:
    const size_t m_count;
    const size_t m_ahead;
    const std::function<void(size_t)>& m_prepare;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<char> m_done;
    size_t m_next = 0;     // the next item to prepare
    size_t m_finished = 0; // items finished so far
    bool m_stopped = false;
};

bool RunHere(size_t count, const std::function<void(size_t)>& prepare, const std::function<bool(size_t)>& finish)
{
    for (size_t i = 0; i < count; ++i) {
        try {
            prepare(i);
        } catch (...) {
            // As on a worker: the item is finished as it stands.
        }
        if (!finish(i))
            return false;
    }
    return true;
}

} // namespace

bool COrderedWork::Run(size_t count, size_t workers, size_t ahead, const std::function<void(size_t)>& prepare,
                       const std::function<bool(size_t)>& finish)
{
    if (count < 2 || workers == 0)
        return RunHere(count, prepare, finish);
    CWorkQueue queue(count, ahead, prepare);
    // Stops and joins the workers however the finishing ends, a throw
    // included: a thread left running would end the program.
    struct CWorkers {
        CWorkQueue& queue;
        std::vector<std::thread> threads;
        ~CWorkers()
        {
            queue.Stop();
            for (std::thread& thread : threads)
                thread.join();
        }
    } team{queue, {}};
    try {
        team.threads.reserve(workers);
        for (size_t w = 0; w < workers; ++w)
            team.threads.emplace_back([&queue] { queue.Work(); });
    } catch (const std::exception&) {
        // No room for (more) threads: those started do the work, or the
        // calling thread does it alone.
    }
    if (team.threads.empty())
        return RunHere(count, prepare, finish);

    for (size_t i = 0; i < count; ++i) {
        queue.WaitFor(i);
        if (!finish(i))
            return false;
        queue.Finished(i);
    }
    return true;
}

size_t COrderedWork::Workers()
{
    return std::max(1u, std::thread::hardware_concurrency());
}
