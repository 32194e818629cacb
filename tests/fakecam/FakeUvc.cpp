// A USB (UVC) webcam for machines without one: the libc calls through which V4L2 is used are
// interposed, so that OpenCV's V4L2 back-end and our own probing run their real code against
// it. Loaded with LD_PRELOAD, or linked into a test program ahead of libc.
//
// Each open handle is a memfd: close, dup and mmap of the buffers then work as on a device
// node, and only what a video node does differently (ioctl, readiness, the /dev entry) is faked.
//
// Everything here reaches libc through Next(): calling an interposed function from inside would
// come back in through the sanitizer's interceptors while the state lock is held.
//
// Set up from the environment, read at the first call that concerns a path (or, in a test,
// by fakeuvc_configure(devices, controlFile), which replaces it at any time):
//   FAKEUVC_DEVICES  comma-separated nodes to answer for, e.g. /dev/video40; none when unset
//   FAKEUVC_CARD     comma-separated card names, one per node (default "Fake UVC Camera")
//   FAKEUVC_BUS      comma-separated bus_info, one per node (default usb-0000:00:14.0-<n>)
//   FAKEUVC_CONTROL  a file of key=value lines, looked at again whenever it changes:
//                    unplugged=0|1, cut_every=N, broken=0|1, drop_every=N, delay_ms=N
//   FAKEUVC_TRACE    1: print the requests the fake does not answer; 2: print every request

#include "FakeUvcControlFile.h"
#include "FakeUvcControls.h"
#include "FakeUvcFormats.h"
#include "FakeUvcJpeg.h"
#include "FakeUvcPattern.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <linux/version.h>
#include <linux/videodev2.h>
#include <poll.h>
#include <pthread.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/select.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#define FAKEUVC_EXPORT extern "C" __attribute__((visibility("default")))

using namespace fakeuvc;

namespace {

// ---------------------------------------------------------------------------------------------
// The functions behind ours.

template <typename F>
F Next(const char* name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

#define FAKEUVC_NEXT(name) \
    static const auto next_##name = Next<decltype(&::name)>(#name)

int RealStat(const char* path, struct stat* st)
{
    FAKEUVC_NEXT(stat);
    return next_stat(path, st);
}

int RealFstat(int fd, struct stat* st)
{
    FAKEUVC_NEXT(fstat);
    return next_fstat(fd, st);
}

int RealClose(int fd)
{
    FAKEUVC_NEXT(close);
    return next_close(fd);
}

int RealIoctl(int fd, unsigned long request, void* arg)
{
    FAKEUVC_NEXT(ioctl);
    return next_ioctl(fd, request, arg);
}

struct ErrnoKeeper {
    int saved = errno;
    ~ErrnoKeeper() { errno = saved; }
};

std::int64_t Now()
{
    timespec ts {};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

void SleepUntil(std::int64_t when)
{
    timespec ts { time_t(when / 1'000'000'000), long(when % 1'000'000'000) };
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr);
}

// A waiter also looks at the control file and at other threads this often.
constexpr std::int64_t kSlice = 10'000'000;

// ---------------------------------------------------------------------------------------------
// The state: devices, open handles, listings of their folder.

struct Device;

struct BufferSlot {
    enum Where { User, Queued, Done } where = User;
    std::uint32_t bytesused = 0;
    std::uint32_t sequence = 0;
    std::uint32_t flags = 0;
    std::int64_t timestamp = 0;
};

struct Handle {
    std::shared_ptr<Device> device;
    std::uint64_t generation = 0;
    int memfd = -1; // the descriptor open() gave; dups share this handle
    int descriptors = 1;

    // The stream, while this handle owns the device's buffers.
    std::vector<BufferSlot> buffers;
    std::size_t bufferLength = 0;
    std::size_t fileLength = 0; // the memfd never shrinks, so an old mapping cannot fault
    std::uint8_t* map = nullptr;
    std::size_t mapLength = 0;
    std::deque<std::uint32_t> queued;
    std::deque<std::uint32_t> done;
    bool streaming = false;
    std::int64_t start = 0;
    std::uint64_t nextSlot = 0;
};

struct Device {
    std::string path;
    std::string name; // the entry in its folder
    std::string card;
    std::string bus;
    unsigned minor = 0;
    dev_t folderDevice = 0;
    ino_t folderInode = 0;
    bool folderKnown = false;
    bool configured = true;
    std::uint64_t generation = 0; // a new one at each unplug: handles from before are dead
    time_t pluggedAt = 0;

    std::uint32_t fourcc = V4L2_PIX_FMT_YUYV;
    std::uint32_t width = 640;
    std::uint32_t height = 480;
    Interval interval { 1, 30 };
    Controls controls;
    Handle* owner = nullptr; // the handle holding the buffers

    MjpegFrames mjpeg;
    std::vector<std::uint8_t> yuyvRow;
    std::vector<std::uint8_t> luma;

    void Reset()
    {
        fourcc = V4L2_PIX_FMT_YUYV;
        width = 640;
        height = 480;
        interval = { 1, 30 };
        controls.Reset();
        owner = nullptr;
    }
};

struct Listing {
    std::vector<std::shared_ptr<Device>> devices;
    std::size_t next = 0;
    bool realEnded = false;
    struct dirent64 entry {};
};

struct ControlFileStamp {
    bool exists = false;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified {};
    timespec changed {};

    bool operator==(const ControlFileStamp& o) const
    {
        return exists == o.exists && inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec
            && modified.tv_nsec == o.modified.tv_nsec && changed.tv_sec == o.changed.tv_sec
            && changed.tv_nsec == o.changed.tv_nsec;
    }
};

struct State {
    std::mutex mutex;
    std::vector<std::shared_ptr<Device>> devices;
    std::unordered_map<int, std::shared_ptr<Handle>> handles;
    std::unordered_map<DIR*, Listing> listings;
    std::string controlPath;
    ControlFileStamp controlStamp;
    bool controlRead = false;
    Mischief mischief;
    int trace = 0;
};

// Never destroyed: descriptors may still be closed by atexit handlers after static destructors.
State& TheState()
{
    static State* state = [] {
        // A child forked while another thread held the lock would find it locked for ever.
        pthread_atfork([] { TheState().mutex.lock(); }, [] { TheState().mutex.unlock(); },
            [] { TheState().mutex.unlock(); });
        return new State;
    }();
    return *state;
}

// Lock-free checks that keep calls unrelated to the fake at the cost of an atomic load.
std::atomic<bool> gConfigured { false };
std::atomic<int> gDeviceCount { 0 };
std::atomic<int> gHandleCount { 0 };
std::atomic<int> gListingCount { 0 };

// ---------------------------------------------------------------------------------------------
// Tracing, to find out what a program asks of the device.

const char* RequestName(unsigned long request)
{
    struct Named {
        unsigned long request;
        const char* name;
    };
#define FAKEUVC_NAME(r) { r, #r }
    static const Named kNames[] = { FAKEUVC_NAME(VIDIOC_QUERYCAP), FAKEUVC_NAME(VIDIOC_ENUM_FMT),
        FAKEUVC_NAME(VIDIOC_G_FMT), FAKEUVC_NAME(VIDIOC_S_FMT), FAKEUVC_NAME(VIDIOC_REQBUFS),
        FAKEUVC_NAME(VIDIOC_QUERYBUF), FAKEUVC_NAME(VIDIOC_G_FBUF), FAKEUVC_NAME(VIDIOC_S_FBUF),
        FAKEUVC_NAME(VIDIOC_OVERLAY), FAKEUVC_NAME(VIDIOC_QBUF), FAKEUVC_NAME(VIDIOC_EXPBUF),
        FAKEUVC_NAME(VIDIOC_DQBUF), FAKEUVC_NAME(VIDIOC_STREAMON), FAKEUVC_NAME(VIDIOC_STREAMOFF),
        FAKEUVC_NAME(VIDIOC_G_PARM), FAKEUVC_NAME(VIDIOC_S_PARM), FAKEUVC_NAME(VIDIOC_G_STD),
        FAKEUVC_NAME(VIDIOC_S_STD), FAKEUVC_NAME(VIDIOC_ENUMSTD), FAKEUVC_NAME(VIDIOC_ENUMINPUT),
        FAKEUVC_NAME(VIDIOC_G_CTRL), FAKEUVC_NAME(VIDIOC_S_CTRL), FAKEUVC_NAME(VIDIOC_G_TUNER),
        FAKEUVC_NAME(VIDIOC_G_AUDIO), FAKEUVC_NAME(VIDIOC_QUERYCTRL), FAKEUVC_NAME(VIDIOC_QUERYMENU),
        FAKEUVC_NAME(VIDIOC_G_INPUT), FAKEUVC_NAME(VIDIOC_S_INPUT), FAKEUVC_NAME(VIDIOC_G_OUTPUT),
        FAKEUVC_NAME(VIDIOC_ENUMOUTPUT), FAKEUVC_NAME(VIDIOC_CROPCAP), FAKEUVC_NAME(VIDIOC_G_CROP),
        FAKEUVC_NAME(VIDIOC_S_CROP), FAKEUVC_NAME(VIDIOC_G_JPEGCOMP), FAKEUVC_NAME(VIDIOC_S_JPEGCOMP),
        FAKEUVC_NAME(VIDIOC_QUERYSTD), FAKEUVC_NAME(VIDIOC_TRY_FMT), FAKEUVC_NAME(VIDIOC_ENUMAUDIO),
        FAKEUVC_NAME(VIDIOC_G_PRIORITY), FAKEUVC_NAME(VIDIOC_S_PRIORITY), FAKEUVC_NAME(VIDIOC_LOG_STATUS),
        FAKEUVC_NAME(VIDIOC_G_EXT_CTRLS), FAKEUVC_NAME(VIDIOC_S_EXT_CTRLS), FAKEUVC_NAME(VIDIOC_TRY_EXT_CTRLS),
        FAKEUVC_NAME(VIDIOC_ENUM_FRAMESIZES), FAKEUVC_NAME(VIDIOC_ENUM_FRAMEINTERVALS),
        FAKEUVC_NAME(VIDIOC_CREATE_BUFS), FAKEUVC_NAME(VIDIOC_PREPARE_BUF), FAKEUVC_NAME(VIDIOC_G_SELECTION),
        FAKEUVC_NAME(VIDIOC_S_SELECTION), FAKEUVC_NAME(VIDIOC_SUBSCRIBE_EVENT),
        FAKEUVC_NAME(VIDIOC_UNSUBSCRIBE_EVENT), FAKEUVC_NAME(VIDIOC_DQEVENT),
        FAKEUVC_NAME(VIDIOC_QUERY_EXT_CTRL) };
#undef FAKEUVC_NAME
    for (const Named& n : kNames)
        if (n.request == request)
            return n.name;
    return "?";
}

void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Trace(const char* format, ...)
{
    char line[256];
    va_list args;
    va_start(args, format);
    const int n = vsnprintf(line, sizeof line - 1, format, args);
    va_end(args);
    if (n <= 0)
        return;
    std::size_t length = std::min<std::size_t>(std::size_t(n), sizeof line - 2);
    line[length++] = '\n';
    ErrnoKeeper keep;
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, line, length);
}

// ---------------------------------------------------------------------------------------------
// Configuration.

std::vector<std::string> SplitList(std::string_view list)
{
    std::vector<std::string> items;
    while (true) {
        const std::size_t comma = list.find(',');
        std::string_view item = list.substr(0, comma);
        while (!item.empty() && item.front() == ' ')
            item.remove_prefix(1);
        while (!item.empty() && item.back() == ' ')
            item.remove_suffix(1);
        items.emplace_back(item);
        if (comma == std::string_view::npos)
            return items;
        list.remove_prefix(comma + 1);
    }
}

unsigned TrailingNumber(const std::string& name)
{
    std::size_t at = name.size();
    while (at > 0 && name[at - 1] >= '0' && name[at - 1] <= '9')
        --at;
    unsigned n = 0;
    for (std::size_t i = at; i < name.size() && i < at + 6; ++i)
        n = n * 10 + unsigned(name[i] - '0');
    return n;
}

void Unplug(Device& device)
{
    ++device.generation;
    device.Reset();
}

void ReadControlFile(State& s)
{
    if (s.controlPath.empty())
        return;
    ErrnoKeeper keep;
    ControlFileStamp stamp;
    struct stat st {};
    if (RealStat(s.controlPath.c_str(), &st) == 0) {
        stamp.exists = true;
        stamp.inode = st.st_ino;
        stamp.size = st.st_size;
        stamp.modified = st.st_mtim;
        stamp.changed = st.st_ctim;
    }
    if (s.controlRead && stamp == s.controlStamp)
        return;
    s.controlRead = true;
    s.controlStamp = stamp;

    std::string text;
    if (stamp.exists) {
        FAKEUVC_NEXT(open);
        FAKEUVC_NEXT(read);
        const int fd = next_open(s.controlPath.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            char chunk[4096];
            ssize_t n;
            while (text.size() < 65536 && (n = next_read(fd, chunk, sizeof chunk)) > 0)
                text.append(chunk, std::size_t(n));
            RealClose(fd);
        }
    }
    const Mischief m = ParseMischief(text);
    if (m.unplugged && !s.mischief.unplugged)
        for (auto& device : s.devices)
            Unplug(*device);
    if (!m.unplugged && s.mischief.unplugged)
        for (auto& device : s.devices)
            device->pluggedAt = time(nullptr);
    s.mischief = m;
}

void Configure(State& s, const char* deviceList, const char* controlPath)
{
    const std::vector<std::string> paths = deviceList != nullptr && *deviceList != '\0' ? SplitList(deviceList)
                                                                                      : std::vector<std::string> {};
    const char* cards = getenv("FAKEUVC_CARD");
    const char* buses = getenv("FAKEUVC_BUS");
    const std::vector<std::string> cardList = cards != nullptr ? SplitList(cards) : std::vector<std::string> {};
    const std::vector<std::string> busList = buses != nullptr ? SplitList(buses) : std::vector<std::string> {};

    std::vector<std::shared_ptr<Device>> devices;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string& path = paths[i];
        const std::size_t slash = path.rfind('/');
        if (path.empty() || path.front() != '/' || slash == path.size() - 1)
            continue;
        // The same path keeps its device, so open handles and settings survive a reconfiguration.
        std::shared_ptr<Device> device;
        for (auto& old : s.devices)
            if (old->path == path)
                device = old;
        if (!device) {
            device = std::make_shared<Device>();
            device->path = path;
            device->pluggedAt = time(nullptr);
        }
        device->name = path.substr(slash + 1);
        device->minor = TrailingNumber(device->name);
        device->card = i < cardList.size() && !cardList[i].empty() ? cardList[i] : "Fake UVC Camera";
        device->bus = i < busList.size() && !busList[i].empty() ? busList[i]
                                                                : "usb-0000:00:14.0-" + std::to_string(i + 1);
        struct stat folder {};
        ErrnoKeeper keep;
        device->folderKnown = RealStat(slash == 0 ? "/" : path.substr(0, slash).c_str(), &folder) == 0;
        device->folderDevice = folder.st_dev;
        device->folderInode = folder.st_ino;
        devices.push_back(std::move(device));
    }
    for (auto& old : s.devices)
        if (std::find(devices.begin(), devices.end(), old) == devices.end()) {
            old->configured = false;
            Unplug(*old);
        }
    s.devices = std::move(devices);
    s.controlPath = controlPath != nullptr ? controlPath : "";
    s.controlRead = false;
    s.mischief = {};
    ReadControlFile(s);
    const char* trace = getenv("FAKEUVC_TRACE");
    s.trace = trace != nullptr ? atoi(trace) : 0;
    gDeviceCount.store(int(s.devices.size()));
    gConfigured.store(true);
}

// The environment is read at the first call that could concern a device, and again until it
// names devices, so a test may set it before it opens anything.
void EnsureConfigured()
{
    if (gConfigured.load(std::memory_order_acquire))
        return;
    const char* devices = getenv("FAKEUVC_DEVICES");
    if (devices == nullptr || *devices == '\0')
        return;
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    if (!gConfigured.load())
        Configure(s, devices, getenv("FAKEUVC_CONTROL"));
}

std::shared_ptr<Device> FindDevice(State& s, const char* path)
{
    if (path == nullptr)
        return nullptr;
    for (auto& device : s.devices)
        if (device->path == path)
            return device;
    return nullptr;
}

bool Present(const State& s, const Device& device) { return device.configured && !s.mischief.unplugged; }

bool Dead(const State& s, const Handle& h)
{
    return !Present(s, *h.device) || h.generation != h.device->generation;
}

std::shared_ptr<Handle> FindHandle(State& s, int fd)
{
    const auto it = s.handles.find(fd);
    return it == s.handles.end() ? nullptr : it->second;
}

// ---------------------------------------------------------------------------------------------
// The node in the file system.

void FillStat(const Device& device, struct stat& st)
{
    std::memset(&st, 0, sizeof st);
    st.st_dev = device.folderDevice;
    st.st_ino = 0x7f000000 + device.minor;
    st.st_mode = S_IFCHR | 0660;
    st.st_nlink = 1;
    st.st_uid = 0;
    st.st_gid = 44; // video
    st.st_rdev = makedev(81, device.minor);
    st.st_blksize = 4096;
    st.st_atim.tv_sec = st.st_mtim.tv_sec = st.st_ctim.tv_sec = device.pluggedAt;
}

template <typename Stat>
void CopyStat(const struct stat& from, Stat& to)
{
    std::memset(&to, 0, sizeof to);
    to.st_dev = from.st_dev;
    to.st_ino = from.st_ino;
    to.st_mode = from.st_mode;
    to.st_nlink = from.st_nlink;
    to.st_uid = from.st_uid;
    to.st_gid = from.st_gid;
    to.st_rdev = from.st_rdev;
    to.st_blksize = from.st_blksize;
    to.st_atim = from.st_atim;
    to.st_mtim = from.st_mtim;
    to.st_ctim = from.st_ctim;
}

// Answers for a path that names a device: true with the result in `result` (and errno set on
// failure), false when the path is not ours.
template <typename Answer>
bool ForDevicePath(const char* path, int& result, Answer answer)
{
    if (path == nullptr || path[0] != '/')
        return false;
    EnsureConfigured();
    if (gDeviceCount.load(std::memory_order_relaxed) == 0)
        return false;
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    const std::shared_ptr<Device> device = FindDevice(s, path);
    if (!device)
        return false;
    ReadControlFile(s);
    if (!Present(s, *device)) {
        errno = ENOENT;
        result = -1;
        return true;
    }
    result = answer(s, device);
    return true;
}

template <typename Stat>
int StatDevice(const char* path, Stat* out, bool& handled)
{
    int result = 0;
    handled = ForDevicePath(path, result, [out](State&, const std::shared_ptr<Device>& device) {
        struct stat st;
        FillStat(*device, st);
        CopyStat(st, *out);
        return 0;
    });
    return result;
}

int AccessDevice(const char* path, bool& handled)
{
    int result = 0;
    handled = ForDevicePath(path, result, [](State&, const std::shared_ptr<Device>&) { return 0; });
    return result;
}

// ---------------------------------------------------------------------------------------------
// Opening and closing.

int OpenDevice(const char* path, int flags, bool& handled)
{
    int result = -1;
    handled = ForDevicePath(path, result, [flags](State& s, const std::shared_ptr<Device>& device) -> int {
        if ((flags & O_DIRECTORY) != 0) {
            errno = ENOTDIR;
            return -1;
        }
        if ((flags & (O_CREAT | O_EXCL)) == (O_CREAT | O_EXCL)) {
            errno = EEXIST;
            return -1;
        }
        const int fd = memfd_create("fakeuvc", (flags & O_CLOEXEC) != 0 ? MFD_CLOEXEC : 0);
        if (fd < 0)
            return -1;
        // The descriptor keeps the blocking mode, so fcntl(F_SETFL) by the caller also counts.
        if ((flags & O_NONBLOCK) != 0)
            fcntl(fd, F_SETFL, O_NONBLOCK);
        auto handle = std::make_shared<Handle>();
        handle->device = device;
        handle->generation = device->generation;
        handle->memfd = fd;
        s.handles[fd] = std::move(handle);
        gHandleCount.fetch_add(1);
        if (s.trace >= 2)
            Trace("fakeuvc: open %s -> fd %d", device->path.c_str(), fd);
        return fd;
    });
    return result;
}

void FreeBuffers(Handle& h)
{
    if (h.map != nullptr)
        munmap(h.map, h.mapLength);
    h.map = nullptr;
    h.mapLength = 0;
    h.buffers.clear();
    h.queued.clear();
    h.done.clear();
    h.streaming = false;
    if (h.device->owner == &h)
        h.device->owner = nullptr;
}

// Drops one descriptor of a handle; the last one lets the device go.
void Forget(State& s, int fd)
{
    const auto it = s.handles.find(fd);
    if (it == s.handles.end())
        return;
    const std::shared_ptr<Handle> h = it->second;
    s.handles.erase(it);
    gHandleCount.fetch_sub(1);
    if (--h->descriptors == 0)
        FreeBuffers(*h);
}

void Remember(State& s, int fd, const std::shared_ptr<Handle>& h)
{
    Forget(s, fd);
    ++h->descriptors;
    s.handles[fd] = h;
    gHandleCount.fetch_add(1);
}

// ---------------------------------------------------------------------------------------------
// The stream: frame k is due at start + k × interval and is filled into the oldest queued buffer
// when it arrives (delay_ms later); with none queued it is lost, as with a driver.

std::int64_t Due(const Handle& h, std::uint64_t slot)
{
    const Interval i = h.device->interval;
    return h.start + std::int64_t((unsigned __int128)slot * i.numerator * 1'000'000'000 / i.denominator);
}

void WriteYuyv(Device& d, std::uint32_t frame, std::uint8_t* out)
{
    const int brightness = d.controls.Value(V4L2_CID_BRIGHTNESS);
    const std::size_t w = d.width;
    d.luma.resize(w * (kFakeStripRows + 1));
    DrawFakeRows(d.luma.data(), std::ptrdiff_t(w), int(w), 0, kFakeStripRows + 1, frame, brightness);
    d.yuyvRow.resize(w * 2);
    for (std::uint32_t y = 0; y < d.height; ++y) {
        std::uint8_t* row = out + y * w * 2;
        if (y > std::uint32_t(kFakeStripRows)) {
            std::memcpy(row, d.yuyvRow.data(), w * 2);
            continue;
        }
        const std::uint8_t* luma = d.luma.data() + std::min<std::uint32_t>(y, kFakeStripRows) * w;
        for (std::size_t x = 0; x < w; ++x) {
            row[2 * x] = luma[x];
            row[2 * x + 1] = 128;
        }
        if (y == std::uint32_t(kFakeStripRows))
            std::memcpy(d.yuyvRow.data(), row, w * 2);
    }
}

void Fill(State& s, Handle& h, std::uint32_t index, std::uint64_t slot)
{
    Device& d = *h.device;
    BufferSlot& b = h.buffers[index];
    std::uint8_t* data = h.map + index * h.bufferLength;
    const std::uint32_t frame = std::uint32_t(slot);
    b.flags = 0;
    if (d.fourcc == V4L2_PIX_FMT_YUYV) {
        WriteYuyv(d, frame, data);
        b.bytesused = d.width * d.height * 2;
    } else {
        const std::size_t n = d.mjpeg.Write(frame, d.controls.Value(V4L2_CID_BRIGHTNESS), int(d.width), int(d.height),
            data, h.bufferLength);
        if (n == 0 || n > h.bufferLength)
            b.flags |= V4L2_BUF_FLAG_ERROR;
        b.bytesused = std::uint32_t(std::min(n, h.bufferLength));
        const Mischief& m = s.mischief;
        if (m.broken || (m.cutEvery != 0 && slot % m.cutEvery == m.cutEvery - 1))
            b.bytesused = b.bytesused * 6 / 10;
    }
    b.sequence = frame;
    b.timestamp = Due(h, slot);
}

// Brings the stream up to `now`: fills the buffers of frames that have arrived.
void Advance(State& s, Handle& h, std::int64_t now)
{
    if (!h.streaming)
        return;
    const std::int64_t delay = std::int64_t(s.mischief.delayMs) * 1'000'000;
    const std::uint32_t dropEvery = s.mischief.dropEvery;
    while (Due(h, h.nextSlot) + delay <= now) {
        if (h.queued.empty()) {
            // Nothing to fill: jump over every frame that has arrived.
            const Interval i = h.device->interval;
            const auto elapsed = (unsigned __int128)(now - delay - h.start);
            h.nextSlot = std::max<std::uint64_t>(
                h.nextSlot, std::uint64_t(elapsed * i.denominator / (std::uint64_t(i.numerator) * 1'000'000'000)));
            while (Due(h, h.nextSlot) + delay <= now)
                ++h.nextSlot;
            return;
        }
        const std::uint64_t slot = h.nextSlot++;
        if (dropEvery != 0 && slot % dropEvery == dropEvery - 1)
            continue;
        const std::uint32_t index = h.queued.front();
        h.queued.pop_front();
        Fill(s, h, index, slot);
        h.buffers[index].where = BufferSlot::Done;
        h.done.push_back(index);
    }
}

// When something may next change for a waiter: the next arrival, or a slice when that depends
// on another thread.
std::int64_t NextChange(const State& s, const Handle& h, std::int64_t now)
{
    if (h.streaming && !h.queued.empty())
        return std::min(now + kSlice, Due(h, h.nextSlot) + std::int64_t(s.mischief.delayMs) * 1'000'000);
    return now + kSlice;
}

// What poll would say, as the kernel: an unplugged node is in error and hung up, a queue that
// does not stream is in error, otherwise readable when a buffer waits to be dequeued.
short Readiness(State& s, Handle& h, std::int64_t now)
{
    if (Dead(s, h))
        return POLLERR | POLLHUP | POLLPRI;
    if (!h.streaming)
        return POLLERR;
    Advance(s, h, now);
    return h.done.empty() ? 0 : POLLIN | POLLRDNORM;
}

// ---------------------------------------------------------------------------------------------
// The ioctls.

void CopyName(__u8* to, std::size_t size, const std::string& from)
{
    std::memset(to, 0, size);
    std::memcpy(to, from.data(), std::min(from.size(), size - 1));
}

void FillPix(const PixelFormat& format, const FrameSize& size, v4l2_pix_format& pix)
{
    std::memset(&pix, 0, sizeof pix);
    pix.width = size.width;
    pix.height = size.height;
    pix.pixelformat = format.fourcc;
    pix.field = V4L2_FIELD_NONE;
    pix.bytesperline = BytesPerLine(format, size.width);
    pix.sizeimage = SizeImage(size.width, size.height);
    pix.colorspace = V4L2_COLORSPACE_SRGB;
    pix.ycbcr_enc = V4L2_YCBCR_ENC_601;
    pix.xfer_func = V4L2_XFER_FUNC_SRGB;
}

const FrameSize& CurrentSize(const Device& d)
{
    const PixelFormat& format = *FindFormat(d.fourcc);
    return *FindSize(format, d.width, d.height);
}

void FillBuffer(const Handle& h, std::uint32_t index, v4l2_buffer& b)
{
    const BufferSlot& slot = h.buffers[index];
    std::memset(&b, 0, sizeof b);
    b.index = index;
    b.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    b.memory = V4L2_MEMORY_MMAP;
    b.field = V4L2_FIELD_NONE;
    b.length = std::uint32_t(h.bufferLength);
    b.m.offset = std::uint32_t(index * h.bufferLength);
    b.flags = V4L2_BUF_FLAG_TIMESTAMP_MONOTONIC | V4L2_BUF_FLAG_TSTAMP_SRC_SOE | V4L2_BUF_FLAG_MAPPED;
    if (slot.where == BufferSlot::Queued)
        b.flags |= V4L2_BUF_FLAG_QUEUED;
    if (slot.where == BufferSlot::Done)
        b.flags |= V4L2_BUF_FLAG_DONE;
    b.flags |= slot.flags;
    b.bytesused = slot.bytesused;
    b.sequence = slot.sequence;
    b.timestamp.tv_sec = slot.timestamp / 1'000'000'000;
    b.timestamp.tv_usec = slot.timestamp % 1'000'000'000 / 1000;
}

// Whether this handle may touch the stream: another that holds the buffers keeps it.
bool Busy(const Handle& h) { return h.device->owner != nullptr && h.device->owner != &h; }

int QueryControl(const Device& d, v4l2_queryctrl& q)
{
    const std::uint32_t next = q.id & (V4L2_CTRL_FLAG_NEXT_CTRL | V4L2_CTRL_FLAG_NEXT_COMPOUND);
    // All controls are simple ones: asking for the next compound control alone finds none.
    if (next == V4L2_CTRL_FLAG_NEXT_COMPOUND)
        return EINVAL;
    const ControlInfo* c = next != 0 ? Controls::After(q.id & ~next) : Controls::Find(q.id);
    if (c == nullptr)
        return EINVAL;
    std::memset(&q, 0, sizeof q);
    q.id = c->id;
    q.type = c->type;
    CopyName(q.name, sizeof q.name, c->name);
    q.minimum = c->minimum;
    q.maximum = c->maximum;
    q.step = c->step;
    q.default_value = c->defaultValue;
    q.flags = d.controls.Flags(*c);
    return 0;
}

int QueryExtControl(const Device& d, v4l2_query_ext_ctrl& q)
{
    v4l2_queryctrl simple {};
    simple.id = q.id;
    if (const int error = QueryControl(d, simple))
        return error;
    std::memset(&q, 0, sizeof q);
    q.id = simple.id;
    q.type = simple.type;
    std::memcpy(q.name, simple.name, sizeof q.name);
    q.minimum = simple.minimum;
    q.maximum = simple.maximum;
    q.step = std::uint64_t(simple.step);
    q.default_value = simple.default_value;
    q.flags = simple.flags;
    q.elem_size = sizeof(std::int32_t);
    q.elems = 1;
    return 0;
}

int ExtControls(Device& d, unsigned long request, v4l2_ext_controls& c)
{
    const std::uint32_t which = c.which;
    const bool defaults = which == V4L2_CTRL_WHICH_DEF_VAL;
    if (which != V4L2_CTRL_WHICH_CUR_VAL && !defaults && which != V4L2_CTRL_CLASS_USER && which != V4L2_CTRL_CLASS_CAMERA)
        return EINVAL;
    if (defaults && request != VIDIOC_G_EXT_CTRLS)
        return EINVAL;
    if (c.count > 1024)
        return EINVAL;
    if (c.count == 0)
        return 0;
    if (c.controls == nullptr)
        return EFAULT;
    // Checked in full before anything is set, so that a refusal changes nothing.
    Controls after = d.controls;
    for (std::uint32_t i = 0; i < c.count; ++i) {
        v4l2_ext_control& one = c.controls[i];
        const ControlInfo* info = Controls::Find(one.id);
        if (info == nullptr || (which != V4L2_CTRL_WHICH_CUR_VAL && !defaults && V4L2_CTRL_ID2WHICH(one.id) != which)) {
            c.error_idx = i;
            return EINVAL;
        }
        if (request == VIDIOC_G_EXT_CTRLS) {
            one.value = defaults ? info->defaultValue : d.controls.Value(one.id);
            continue;
        }
        std::int32_t value = one.value;
        if (const int error = after.Check(*info, value)) {
            c.error_idx = i;
            return error;
        }
        after.Set(one.id, value);
        one.value = value;
    }
    if (request == VIDIOC_S_EXT_CTRLS)
        d.controls = after;
    return 0;
}

int RequestBuffers(Handle& h, v4l2_requestbuffers& r)
{
    Device& d = *h.device;
    if (r.type != V4L2_BUF_TYPE_VIDEO_CAPTURE || r.memory != V4L2_MEMORY_MMAP)
        return EINVAL;
    if (Busy(h) || h.streaming)
        return EBUSY;
    FreeBuffers(h);
    r.capabilities = V4L2_BUF_CAP_SUPPORTS_MMAP;
    if (r.count == 0)
        return 0;
    r.count = std::clamp<std::uint32_t>(r.count, 2, 32);
    const std::size_t page = std::size_t(sysconf(_SC_PAGESIZE));
    const std::size_t length = (SizeImage(d.width, d.height) + page - 1) / page * page;
    const std::size_t total = length * r.count;
    if (total > h.fileLength) {
        if (ftruncate(h.memfd, off_t(total)) != 0)
            return ENOMEM;
        h.fileLength = total;
    }
    void* map = mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_SHARED, h.memfd, 0);
    if (map == MAP_FAILED)
        return ENOMEM;
    h.map = static_cast<std::uint8_t*>(map);
    h.mapLength = total;
    h.bufferLength = length;
    h.buffers.assign(r.count, BufferSlot {});
    d.owner = &h;
    return 0;
}

int CheckBuffer(const Handle& h, const v4l2_buffer& b)
{
    if (b.type != V4L2_BUF_TYPE_VIDEO_CAPTURE || b.memory != V4L2_MEMORY_MMAP || b.index >= h.buffers.size())
        return EINVAL;
    return 0;
}

// The stream's ioctls; DQBUF may wait, with the lock released.
int Stream(State& s, std::unique_lock<std::mutex>& lock, const std::shared_ptr<Handle>& handle, int fd,
    unsigned long request, void* arg)
{
    Handle& h = *handle;
    switch (request) {
    case VIDIOC_REQBUFS:
        return RequestBuffers(h, *static_cast<v4l2_requestbuffers*>(arg));
    case VIDIOC_QUERYBUF: {
        auto& b = *static_cast<v4l2_buffer*>(arg);
        if (Busy(h))
            return EBUSY;
        if (const int error = CheckBuffer(h, b))
            return error;
        FillBuffer(h, b.index, b);
        return 0;
    }
    case VIDIOC_QBUF: {
        auto& b = *static_cast<v4l2_buffer*>(arg);
        if (Busy(h))
            return EBUSY;
        if (const int error = CheckBuffer(h, b))
            return error;
        if (h.buffers[b.index].where != BufferSlot::User)
            return EINVAL;
        // Frames that arrived before this buffer was queued went by without it.
        Advance(s, h, Now());
        h.buffers[b.index].where = BufferSlot::Queued;
        h.queued.push_back(b.index);
        FillBuffer(h, b.index, b);
        return 0;
    }
    case VIDIOC_DQBUF: {
        auto& b = *static_cast<v4l2_buffer*>(arg);
        if (Busy(h))
            return EBUSY;
        if (b.type != V4L2_BUF_TYPE_VIDEO_CAPTURE || b.memory != V4L2_MEMORY_MMAP)
            return EINVAL;
        while (true) {
            if (Dead(s, h))
                return ENODEV;
            if (!h.streaming)
                return EINVAL;
            const std::int64_t now = Now();
            Advance(s, h, now);
            if (!h.done.empty()) {
                const std::uint32_t index = h.done.front();
                h.done.pop_front();
                h.buffers[index].where = BufferSlot::User;
                FillBuffer(h, index, b);
                return 0;
            }
            if ((fcntl(fd, F_GETFL) & O_NONBLOCK) != 0)
                return EAGAIN;
            const std::int64_t until = NextChange(s, h, now);
            lock.unlock();
            SleepUntil(until);
            lock.lock();
            if (FindHandle(s, fd) != handle)
                return EBADF;
            ReadControlFile(s);
        }
    }
    case VIDIOC_STREAMON:
        if (*static_cast<int*>(arg) != V4L2_BUF_TYPE_VIDEO_CAPTURE)
            return EINVAL;
        if (Busy(h))
            return EBUSY;
        if (h.buffers.empty())
            return EINVAL;
        if (!h.streaming) {
            h.streaming = true;
            h.start = Now();
            h.nextSlot = 0;
        }
        return 0;
    case VIDIOC_STREAMOFF:
        if (*static_cast<int*>(arg) != V4L2_BUF_TYPE_VIDEO_CAPTURE)
            return EINVAL;
        if (Busy(h))
            return EBUSY;
        h.streaming = false;
        h.queued.clear();
        h.done.clear();
        for (auto& b : h.buffers)
            b.where = BufferSlot::User;
        return 0;
    default:
        return ENOTTY;
    }
}

int Control(Handle& h, unsigned long request, void* arg)
{
    Device& d = *h.device;
    switch (request) {
    case VIDIOC_QUERYCTRL:
        return QueryControl(d, *static_cast<v4l2_queryctrl*>(arg));
    case VIDIOC_QUERY_EXT_CTRL:
        return QueryExtControl(d, *static_cast<v4l2_query_ext_ctrl*>(arg));
    case VIDIOC_QUERYMENU: {
        auto& m = *static_cast<v4l2_querymenu*>(arg);
        const ControlInfo* c = Controls::Find(m.id);
        const MenuItem* item = c != nullptr ? Controls::FindMenuItem(*c, m.index) : nullptr;
        if (item == nullptr)
            return EINVAL;
        std::memset(m.name, 0, sizeof m.name);
        CopyName(m.name, sizeof m.name, item->name);
        m.reserved = 0;
        return 0;
    }
    case VIDIOC_G_CTRL: {
        auto& c = *static_cast<v4l2_control*>(arg);
        if (Controls::Find(c.id) == nullptr)
            return EINVAL;
        c.value = d.controls.Value(c.id);
        return 0;
    }
    case VIDIOC_S_CTRL: {
        auto& c = *static_cast<v4l2_control*>(arg);
        const ControlInfo* info = Controls::Find(c.id);
        if (info == nullptr)
            return EINVAL;
        std::int32_t value = c.value;
        if (const int error = d.controls.Check(*info, value))
            return error;
        d.controls.Set(c.id, value);
        c.value = value;
        return 0;
    }
    case VIDIOC_G_EXT_CTRLS:
    case VIDIOC_S_EXT_CTRLS:
    case VIDIOC_TRY_EXT_CTRLS:
        return ExtControls(d, request, *static_cast<v4l2_ext_controls*>(arg));
    default:
        return ENOTTY;
    }
}

int Format(Handle& h, unsigned long request, void* arg)
{
    Device& d = *h.device;
    switch (request) {
    case VIDIOC_ENUM_FMT: {
        auto& f = *static_cast<v4l2_fmtdesc*>(arg);
        if (f.type != V4L2_BUF_TYPE_VIDEO_CAPTURE || f.index >= Formats().size())
            return EINVAL;
        const PixelFormat& format = Formats()[f.index];
        const std::uint32_t index = f.index;
        std::memset(&f, 0, sizeof f);
        f.index = index;
        f.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        f.flags = format.compressed ? V4L2_FMT_FLAG_COMPRESSED : 0;
        CopyName(f.description, sizeof f.description, format.description);
        f.pixelformat = format.fourcc;
        return 0;
    }
    case VIDIOC_ENUM_FRAMESIZES: {
        auto& f = *static_cast<v4l2_frmsizeenum*>(arg);
        const PixelFormat* format = FindFormat(f.pixel_format);
        if (format == nullptr || f.index >= format->sizes.size())
            return EINVAL;
        f.type = V4L2_FRMSIZE_TYPE_DISCRETE;
        f.discrete.width = format->sizes[f.index].width;
        f.discrete.height = format->sizes[f.index].height;
        return 0;
    }
    case VIDIOC_ENUM_FRAMEINTERVALS: {
        auto& f = *static_cast<v4l2_frmivalenum*>(arg);
        const PixelFormat* format = FindFormat(f.pixel_format);
        const FrameSize* size = format != nullptr ? FindSize(*format, f.width, f.height) : nullptr;
        if (size == nullptr || f.index >= size->intervals.size())
            return EINVAL;
        f.type = V4L2_FRMIVAL_TYPE_DISCRETE;
        f.discrete.numerator = size->intervals[f.index].numerator;
        f.discrete.denominator = size->intervals[f.index].denominator;
        return 0;
    }
    case VIDIOC_G_FMT: {
        auto& f = *static_cast<v4l2_format*>(arg);
        if (f.type != V4L2_BUF_TYPE_VIDEO_CAPTURE)
            return EINVAL;
        std::memset(&f.fmt, 0, sizeof f.fmt);
        FillPix(*FindFormat(d.fourcc), CurrentSize(d), f.fmt.pix);
        return 0;
    }
    case VIDIOC_TRY_FMT:
    case VIDIOC_S_FMT: {
        auto& f = *static_cast<v4l2_format*>(arg);
        if (f.type != V4L2_BUF_TYPE_VIDEO_CAPTURE)
            return EINVAL;
        if (request == VIDIOC_S_FMT && (Busy(h) || !h.buffers.empty()))
            return EBUSY;
        const PixelFormat* format = FindFormat(f.fmt.pix.pixelformat);
        if (format == nullptr)
            format = FindFormat(V4L2_PIX_FMT_YUYV);
        const FrameSize& size = NearestSize(*format, f.fmt.pix.width, f.fmt.pix.height);
        std::memset(&f.fmt, 0, sizeof f.fmt);
        FillPix(*format, size, f.fmt.pix);
        if (request == VIDIOC_S_FMT) {
            d.fourcc = format->fourcc;
            d.width = size.width;
            d.height = size.height;
            d.interval = size.intervals.front();
        }
        return 0;
    }
    case VIDIOC_G_PARM:
    case VIDIOC_S_PARM: {
        auto& p = *static_cast<v4l2_streamparm*>(arg);
        if (p.type != V4L2_BUF_TYPE_VIDEO_CAPTURE)
            return EINVAL;
        if (request == VIDIOC_S_PARM) {
            if (Busy(h) || h.streaming)
                return EBUSY;
            const v4l2_fract wanted = p.parm.capture.timeperframe;
            d.interval = NearestInterval(CurrentSize(d), { wanted.numerator, wanted.denominator });
        }
        std::memset(&p.parm, 0, sizeof p.parm);
        p.parm.capture.capability = V4L2_CAP_TIMEPERFRAME;
        p.parm.capture.timeperframe = { d.interval.numerator, d.interval.denominator };
        return 0;
    }
    default:
        return ENOTTY;
    }
}

int General(Handle& h, unsigned long request, void* arg)
{
    Device& d = *h.device;
    switch (request) {
    case VIDIOC_QUERYCAP: {
        auto& c = *static_cast<v4l2_capability*>(arg);
        std::memset(&c, 0, sizeof c);
        CopyName(c.driver, sizeof c.driver, "uvcvideo");
        CopyName(c.card, sizeof c.card, d.card);
        CopyName(c.bus_info, sizeof c.bus_info, d.bus);
        c.version = LINUX_VERSION_CODE;
        c.capabilities = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING | V4L2_CAP_DEVICE_CAPS;
        c.device_caps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
        return 0;
    }
    case VIDIOC_ENUMINPUT: {
        auto& i = *static_cast<v4l2_input*>(arg);
        if (i.index != 0)
            return EINVAL;
        std::memset(&i, 0, sizeof i);
        CopyName(i.name, sizeof i.name, "Camera 1");
        i.type = V4L2_INPUT_TYPE_CAMERA;
        return 0;
    }
    case VIDIOC_G_INPUT:
        *static_cast<int*>(arg) = 0;
        return 0;
    case VIDIOC_S_INPUT:
        return *static_cast<int*>(arg) == 0 ? 0 : EINVAL;
    case VIDIOC_G_PRIORITY:
        *static_cast<std::uint32_t*>(arg) = V4L2_PRIORITY_DEFAULT;
        return 0;
    case VIDIOC_S_PRIORITY:
        return *static_cast<std::uint32_t*>(arg) <= V4L2_PRIORITY_RECORD ? 0 : EINVAL;
    // uvcvideo reports the crop bounds (the whole frame) and nothing it could change.
    case VIDIOC_CROPCAP: {
        auto& c = *static_cast<v4l2_cropcap*>(arg);
        if (c.type != V4L2_BUF_TYPE_VIDEO_CAPTURE)
            return EINVAL;
        c.bounds = { 0, 0, d.width, d.height };
        c.defrect = c.bounds;
        c.pixelaspect = { 1, 1 };
        return 0;
    }
    case VIDIOC_G_SELECTION: {
        auto& sel = *static_cast<v4l2_selection*>(arg);
        if (sel.type != V4L2_BUF_TYPE_VIDEO_CAPTURE
            || (sel.target != V4L2_SEL_TGT_CROP_DEFAULT && sel.target != V4L2_SEL_TGT_CROP_BOUNDS))
            return EINVAL;
        sel.r = { 0, 0, d.width, d.height };
        return 0;
    }
    case VIDIOC_G_CROP:
        return EINVAL;
    default:
        return ENOTTY;
    }
}

int Dispatch(State& s, std::unique_lock<std::mutex>& lock, const std::shared_ptr<Handle>& h, int fd,
    unsigned long request, void* arg)
{
    if (Dead(s, *h))
        return ENODEV;
    if (arg == nullptr && _IOC_SIZE(request) != 0)
        return EFAULT;
    int error = General(*h, request, arg);
    if (error == ENOTTY)
        error = Format(*h, request, arg);
    if (error == ENOTTY)
        error = Control(*h, request, arg);
    if (error == ENOTTY)
        error = Stream(s, lock, h, fd, request, arg);
    return error;
}

// The fields worth seeing in a trace of the requests that choose the mode.
std::string Describe(unsigned long request, const void* arg)
{
    char text[64] = "";
    if (arg == nullptr)
        return text;
    if (request == VIDIOC_S_FMT || request == VIDIOC_TRY_FMT || request == VIDIOC_G_FMT) {
        const v4l2_pix_format& pix = static_cast<const v4l2_format*>(arg)->fmt.pix;
        snprintf(text, sizeof text, " %.4s %ux%u", reinterpret_cast<const char*>(&pix.pixelformat), pix.width, pix.height);
    } else if (request == VIDIOC_S_PARM || request == VIDIOC_G_PARM) {
        const v4l2_fract& f = static_cast<const v4l2_streamparm*>(arg)->parm.capture.timeperframe;
        snprintf(text, sizeof text, " %u/%u", f.numerator, f.denominator);
    } else if (request == VIDIOC_S_CTRL || request == VIDIOC_G_CTRL) {
        const v4l2_control& c = *static_cast<const v4l2_control*>(arg);
        snprintf(text, sizeof text, " 0x%x=%d", c.id, c.value);
    } else if (request == VIDIOC_REQBUFS) {
        snprintf(text, sizeof text, " count %u", static_cast<const v4l2_requestbuffers*>(arg)->count);
    }
    return text;
}

// What the kernel answers for any descriptor before a driver sees the request.
bool Generic(unsigned long request)
{
    return request == FIONBIO || request == FIOASYNC || request == FIOCLEX || request == FIONCLEX;
}

int FakeIoctl(int fd, unsigned long request, void* arg, bool& handled)
{
    handled = false;
    if (gHandleCount.load(std::memory_order_relaxed) == 0 || Generic(request))
        return 0;
    State& s = TheState();
    std::unique_lock lock(s.mutex);
    const std::shared_ptr<Handle> h = FindHandle(s, fd);
    if (!h)
        return 0;
    handled = true;
    ReadControlFile(s);
    const std::string asked = s.trace >= 2 ? Describe(request, arg) : std::string();
    const int error = Dispatch(s, lock, h, fd, request, arg);
    if (s.trace >= 2 || (s.trace >= 1 && error == ENOTTY))
        Trace("fakeuvc: fd %d %s (0x%08lx)%s -> %s%s", fd, RequestName(request), request, asked.c_str(),
            error == 0 ? "0" : strerrorname_np(error), Describe(request, arg).c_str());
    if (error == 0)
        return 0;
    errno = error;
    return -1;
}

// ---------------------------------------------------------------------------------------------
// Waiting: select and poll hand the other descriptors to the real call, in slices when a fake
// one may become ready meanwhile.

struct FakeWatch {
    std::size_t slot; // index in the poll array, or the descriptor for select
    std::shared_ptr<Handle> handle;
    short revents = 0;
};

// Looks at the fake descriptors; gives when to look again.
std::int64_t LookAt(std::vector<FakeWatch>& watches, bool& anyReady)
{
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    ReadControlFile(s);
    const std::int64_t now = Now();
    std::int64_t next = now + kSlice;
    anyReady = false;
    for (auto& w : watches) {
        w.revents = Readiness(s, *w.handle, now);
        anyReady |= w.revents != 0;
        next = std::min(next, NextChange(s, *w.handle, now));
    }
    return next;
}

std::int64_t Deadline(const timespec* timeout)
{
    if (timeout == nullptr)
        return -1;
    return Now() + std::int64_t(timeout->tv_sec) * 1'000'000'000 + timeout->tv_nsec;
}

// How long the real call may wait this round.
timespec RoundTimeout(bool anyReady, std::int64_t deadline, std::int64_t next)
{
    const std::int64_t now = Now();
    std::int64_t until = anyReady ? now : next;
    if (deadline >= 0)
        until = std::min(until, deadline);
    const std::int64_t wait = std::max<std::int64_t>(0, until - now);
    return { time_t(wait / 1'000'000'000), long(wait % 1'000'000'000) };
}

template <typename RealPoll>
int PollWith(pollfd* fds, nfds_t nfds, const timespec* timeout, RealPoll realPoll)
{
    std::vector<FakeWatch> watches;
    if (gHandleCount.load(std::memory_order_relaxed) != 0) {
        State& s = TheState();
        std::lock_guard lock(s.mutex);
        for (nfds_t i = 0; i < nfds; ++i)
            if (auto h = FindHandle(s, fds[i].fd))
                watches.push_back({ i, std::move(h) });
    }
    if (watches.empty())
        return realPoll(fds, nfds, timeout);

    std::vector<pollfd> others(fds, fds + nfds);
    for (const auto& w : watches)
        others[w.slot].fd = -1;
    const std::int64_t deadline = Deadline(timeout);
    while (true) {
        bool anyReady = false;
        const std::int64_t next = LookAt(watches, anyReady);
        const timespec round = RoundTimeout(anyReady, deadline, next);
        const int n = realPoll(others.data(), nfds, &round);
        if (n < 0)
            return n;
        int ready = 0;
        for (nfds_t i = 0; i < nfds; ++i) {
            fds[i].revents = others[i].revents;
            ready += fds[i].revents != 0;
        }
        for (const auto& w : watches) {
            const short events = fds[w.slot].events | POLLERR | POLLHUP | POLLNVAL;
            fds[w.slot].revents = short(w.revents & events);
            ready += fds[w.slot].revents != 0;
        }
        if (ready > 0 || (deadline >= 0 && Now() >= deadline))
            return ready;
    }
}

template <typename RealSelect>
int SelectWith(int nfds, fd_set* readfds, fd_set* writefds, fd_set* exceptfds, const timespec* timeout,
    RealSelect realSelect)
{
    std::vector<FakeWatch> watches;
    if (gHandleCount.load(std::memory_order_relaxed) != 0 && nfds > 0) {
        State& s = TheState();
        std::lock_guard lock(s.mutex);
        for (int fd = 0; fd < std::min(nfds, FD_SETSIZE); ++fd) {
            const bool asked = (readfds != nullptr && FD_ISSET(fd, readfds)) || (writefds != nullptr && FD_ISSET(fd, writefds))
                || (exceptfds != nullptr && FD_ISSET(fd, exceptfds));
            if (asked)
                if (auto h = FindHandle(s, fd))
                    watches.push_back({ std::size_t(fd), std::move(h) });
        }
    }
    if (watches.empty())
        return realSelect(nfds, readfds, writefds, exceptfds, timeout);

    const fd_set empty {};
    const fd_set askedRead = readfds != nullptr ? *readfds : empty;
    const fd_set askedWrite = writefds != nullptr ? *writefds : empty;
    const fd_set askedExcept = exceptfds != nullptr ? *exceptfds : empty;
    const std::int64_t deadline = Deadline(timeout);
    while (true) {
        bool anyReady = false;
        const std::int64_t next = LookAt(watches, anyReady);
        fd_set r = askedRead, w = askedWrite, e = askedExcept;
        for (const auto& watch : watches) {
            FD_CLR(int(watch.slot), &r);
            FD_CLR(int(watch.slot), &w);
            FD_CLR(int(watch.slot), &e);
        }
        const timespec round = RoundTimeout(anyReady, deadline, next);
        const int n = realSelect(nfds, readfds != nullptr ? &r : nullptr, writefds != nullptr ? &w : nullptr,
            exceptfds != nullptr ? &e : nullptr, &round);
        if (n < 0)
            return n;
        int ready = n;
        // The kernel's mapping of poll bits to the three sets.
        for (const auto& watch : watches) {
            const int fd = int(watch.slot);
            if (FD_ISSET(fd, &askedRead) && (watch.revents & (POLLIN | POLLRDNORM | POLLHUP | POLLERR)) != 0) {
                FD_SET(fd, &r);
                ++ready;
            }
            if (FD_ISSET(fd, &askedWrite) && (watch.revents & POLLERR) != 0) {
                FD_SET(fd, &w);
                ++ready;
            }
            if (FD_ISSET(fd, &askedExcept) && (watch.revents & POLLPRI) != 0) {
                FD_SET(fd, &e);
                ++ready;
            }
        }
        if (ready > 0 || (deadline >= 0 && Now() >= deadline)) {
            if (readfds != nullptr)
                *readfds = r;
            if (writefds != nullptr)
                *writefds = w;
            if (exceptfds != nullptr)
                *exceptfds = e;
            return ready;
        }
    }
}

timespec ToTimespec(int milliseconds) { return { time_t(milliseconds / 1000), long(milliseconds % 1000) * 1'000'000 }; }

int PollMs(pollfd* fds, nfds_t nfds, int timeout)
{
    FAKEUVC_NEXT(poll);
    const timespec ts = ToTimespec(timeout);
    return PollWith(fds, nfds, timeout < 0 ? nullptr : &ts, [](pollfd* f, nfds_t n, const timespec* t) {
        return next_poll(f, n, t == nullptr ? -1 : int(t->tv_sec * 1000 + (t->tv_nsec + 999'999) / 1'000'000));
    });
}

int PpollWith(pollfd* fds, nfds_t nfds, const timespec* timeout, const sigset_t* mask)
{
    FAKEUVC_NEXT(ppoll);
    return PollWith(fds, nfds, timeout,
        [mask](pollfd* f, nfds_t n, const timespec* t) { return next_ppoll(f, n, t, mask); });
}

// ---------------------------------------------------------------------------------------------
// Listings of the folder that holds a device.

void WatchListing(DIR* dir)
{
    if (dir == nullptr || gDeviceCount.load(std::memory_order_relaxed) == 0)
        return;
    ErrnoKeeper keep;
    struct stat st {};
    if (RealFstat(dirfd(dir), &st) != 0)
        return;
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    Listing listing;
    for (auto& d : s.devices)
        if (d->folderKnown && d->folderDevice == st.st_dev && d->folderInode == st.st_ino)
            listing.devices.push_back(d);
    if (listing.devices.empty())
        return;
    s.listings[dir] = std::move(listing);
    gListingCount.fetch_add(1);
}

template <typename Entry, typename RealReaddir>
Entry* ReadListing(DIR* dir, RealReaddir realReaddir)
{
    static_assert(sizeof(Entry) == sizeof(struct dirent64));
    if (gListingCount.load(std::memory_order_relaxed) == 0)
        return realReaddir(dir);
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    const auto it = s.listings.find(dir);
    if (it == s.listings.end())
        return realReaddir(dir);
    Listing& listing = it->second;
    while (!listing.realEnded) {
        const int before = errno;
        Entry* entry = realReaddir(dir);
        if (entry == nullptr) {
            if (errno != before)
                return nullptr;
            listing.realEnded = true;
            break;
        }
        // A real node of the same name is hidden: the fake one stands in its place.
        const bool shadowed = std::any_of(listing.devices.begin(), listing.devices.end(),
            [entry](const auto& d) { return d->name == entry->d_name; });
        if (!shadowed)
            return entry;
    }
    ReadControlFile(s);
    while (listing.next < listing.devices.size()) {
        const Device& d = *listing.devices[listing.next++];
        if (!Present(s, d))
            continue;
        struct dirent64& e = listing.entry;
        std::memset(&e, 0, sizeof e);
        e.d_ino = 0x7f000000 + d.minor;
        e.d_reclen = sizeof e;
        e.d_type = DT_CHR;
        std::memcpy(e.d_name, d.name.c_str(), std::min(d.name.size(), sizeof e.d_name - 1));
        return reinterpret_cast<Entry*>(&e);
    }
    return nullptr;
}

template <typename Stat>
bool FstatHandle(int fd, Stat* out)
{
    if (gHandleCount.load(std::memory_order_relaxed) == 0)
        return false;
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    const auto h = FindHandle(s, fd);
    if (!h)
        return false;
    struct stat st;
    FillStat(*h->device, st);
    CopyStat(st, *out);
    return true;
}

template <typename Dup>
int DupWith(int oldfd, int newfd, Dup dup)
{
    const int result = dup();
    if (result < 0 || gHandleCount.load(std::memory_order_relaxed) == 0 || result == oldfd)
        return result;
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    if (newfd >= 0)
        Forget(s, newfd); // dup2 closed it
    if (auto h = FindHandle(s, oldfd))
        Remember(s, result, h);
    return result;
}

int OpenWith(const char* path, int flags, mode_t mode, int (*real)(const char*, int, ...))
{
    bool handled = false;
    const int fd = OpenDevice(path, flags, handled);
    if (handled)
        return fd;
    return real(path, flags, mode);
}

int OpenAtWith(int dirfd, const char* path, int flags, mode_t mode, int (*real)(int, const char*, int, ...))
{
    bool handled = false;
    const int fd = OpenDevice(path, flags, handled);
    if (handled)
        return fd;
    return real(dirfd, path, flags, mode);
}

mode_t ModeArgument(int flags, va_list args)
{
    return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE ? mode_t(va_arg(args, int)) : 0;
}

} // namespace

// =============================================================================================
// The interposed functions.

FAKEUVC_EXPORT void fakeuvc_configure(const char* devices, const char* controlFile)
{
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    Configure(s, devices, controlFile);
}

FAKEUVC_EXPORT int open(const char* path, int flags, ...)
{
    FAKEUVC_NEXT(open);
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeArgument(flags, args);
    va_end(args);
    return OpenWith(path, flags, mode, next_open);
}

FAKEUVC_EXPORT int open64(const char* path, int flags, ...)
{
    FAKEUVC_NEXT(open64);
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeArgument(flags, args);
    va_end(args);
    return OpenWith(path, flags, mode, next_open64);
}

FAKEUVC_EXPORT int openat(int dirfd, const char* path, int flags, ...)
{
    FAKEUVC_NEXT(openat);
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeArgument(flags, args);
    va_end(args);
    return OpenAtWith(dirfd, path, flags, mode, next_openat);
}

FAKEUVC_EXPORT int openat64(int dirfd, const char* path, int flags, ...)
{
    FAKEUVC_NEXT(openat64);
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeArgument(flags, args);
    va_end(args);
    return OpenAtWith(dirfd, path, flags, mode, next_openat64);
}

// What _FORTIFY_SOURCE builds call instead of open() when the flags are not known at compile time.
FAKEUVC_EXPORT int __open_2(const char* path, int flags)
{
    static const auto next = Next<int (*)(const char*, int)>("__open_2");
    bool handled = false;
    const int fd = OpenDevice(path, flags, handled);
    return handled ? fd : next(path, flags);
}

FAKEUVC_EXPORT int __open64_2(const char* path, int flags)
{
    static const auto next = Next<int (*)(const char*, int)>("__open64_2");
    bool handled = false;
    const int fd = OpenDevice(path, flags, handled);
    return handled ? fd : next(path, flags);
}

FAKEUVC_EXPORT int __openat_2(int dirfd, const char* path, int flags)
{
    static const auto next = Next<int (*)(int, const char*, int)>("__openat_2");
    bool handled = false;
    const int fd = OpenDevice(path, flags, handled);
    return handled ? fd : next(dirfd, path, flags);
}

FAKEUVC_EXPORT int close(int fd)
{
    if (gHandleCount.load(std::memory_order_relaxed) != 0) {
        State& s = TheState();
        std::lock_guard lock(s.mutex);
        Forget(s, fd);
    }
    return RealClose(fd);
}

FAKEUVC_EXPORT int dup(int fd) noexcept
{
    FAKEUVC_NEXT(dup);
    return DupWith(fd, -1, [&] { return next_dup(fd); });
}

FAKEUVC_EXPORT int dup2(int fd, int to) noexcept
{
    FAKEUVC_NEXT(dup2);
    return DupWith(fd, to, [&] { return next_dup2(fd, to); });
}

FAKEUVC_EXPORT int dup3(int fd, int to, int flags) noexcept
{
    FAKEUVC_NEXT(dup3);
    return DupWith(fd, to, [&] { return next_dup3(fd, to, flags); });
}

FAKEUVC_EXPORT int ioctl(int fd, unsigned long request, ...) noexcept
{
    va_list args;
    va_start(args, request);
    void* arg = va_arg(args, void*);
    va_end(args);
    bool handled = false;
    const int result = FakeIoctl(fd, request, arg, handled);
    return handled ? result : RealIoctl(fd, request, arg);
}

FAKEUVC_EXPORT int poll(pollfd* fds, nfds_t nfds, int timeout) { return PollMs(fds, nfds, timeout); }

FAKEUVC_EXPORT int __poll_chk(pollfd* fds, nfds_t nfds, int timeout, std::size_t) { return PollMs(fds, nfds, timeout); }

FAKEUVC_EXPORT int ppoll(pollfd* fds, nfds_t nfds, const timespec* timeout, const sigset_t* mask)
{
    return PpollWith(fds, nfds, timeout, mask);
}

FAKEUVC_EXPORT int __ppoll_chk(pollfd* fds, nfds_t nfds, const timespec* timeout, const sigset_t* mask, std::size_t)
{
    return PpollWith(fds, nfds, timeout, mask);
}

FAKEUVC_EXPORT int select(int nfds, fd_set* readfds, fd_set* writefds, fd_set* exceptfds, timeval* timeout)
{
    FAKEUVC_NEXT(select);
    if (gHandleCount.load(std::memory_order_relaxed) == 0)
        return next_select(nfds, readfds, writefds, exceptfds, timeout);
    timespec ts {};
    if (timeout != nullptr)
        ts = { timeout->tv_sec, long(timeout->tv_usec) * 1000 };
    const std::int64_t deadline = Deadline(timeout != nullptr ? &ts : nullptr);
    const int result = SelectWith(nfds, readfds, writefds, exceptfds, timeout != nullptr ? &ts : nullptr,
        [](int n, fd_set* r, fd_set* w, fd_set* e, const timespec* t) {
            if (t == nullptr)
                return next_select(n, r, w, e, nullptr);
            timeval tv { t->tv_sec, (t->tv_nsec + 999) / 1000 };
            return next_select(n, r, w, e, &tv);
        });
    // Linux tells how much of the timeout is left.
    if (timeout != nullptr) {
        const std::int64_t left = std::max<std::int64_t>(0, deadline - Now());
        timeout->tv_sec = time_t(left / 1'000'000'000);
        timeout->tv_usec = suseconds_t(left % 1'000'000'000 / 1000);
    }
    return result;
}

FAKEUVC_EXPORT int pselect(int nfds, fd_set* readfds, fd_set* writefds, fd_set* exceptfds, const timespec* timeout,
    const sigset_t* mask)
{
    FAKEUVC_NEXT(pselect);
    return SelectWith(nfds, readfds, writefds, exceptfds, timeout,
        [mask](int n, fd_set* r, fd_set* w, fd_set* e, const timespec* t) { return next_pselect(n, r, w, e, t, mask); });
}

// The node: present while plugged in, a character device like any video node.

FAKEUVC_EXPORT int stat(const char* path, struct stat* st) noexcept
{
    FAKEUVC_NEXT(stat);
    bool handled = false;
    const int result = StatDevice(path, st, handled);
    return handled ? result : next_stat(path, st);
}

FAKEUVC_EXPORT int stat64(const char* path, struct stat64* st) noexcept
{
    FAKEUVC_NEXT(stat64);
    bool handled = false;
    const int result = StatDevice(path, st, handled);
    return handled ? result : next_stat64(path, st);
}

FAKEUVC_EXPORT int lstat(const char* path, struct stat* st) noexcept
{
    FAKEUVC_NEXT(lstat);
    bool handled = false;
    const int result = StatDevice(path, st, handled);
    return handled ? result : next_lstat(path, st);
}

FAKEUVC_EXPORT int lstat64(const char* path, struct stat64* st) noexcept
{
    FAKEUVC_NEXT(lstat64);
    bool handled = false;
    const int result = StatDevice(path, st, handled);
    return handled ? result : next_lstat64(path, st);
}

FAKEUVC_EXPORT int fstatat(int dirfd, const char* path, struct stat* st, int flags) noexcept
{
    FAKEUVC_NEXT(fstatat);
    if ((flags & AT_EMPTY_PATH) != 0 && *path == '\0' && FstatHandle(dirfd, st))
        return 0;
    bool handled = false;
    const int result = StatDevice(path, st, handled);
    return handled ? result : next_fstatat(dirfd, path, st, flags);
}

FAKEUVC_EXPORT int fstatat64(int dirfd, const char* path, struct stat64* st, int flags) noexcept
{
    FAKEUVC_NEXT(fstatat64);
    if ((flags & AT_EMPTY_PATH) != 0 && *path == '\0' && FstatHandle(dirfd, st))
        return 0;
    bool handled = false;
    const int result = StatDevice(path, st, handled);
    return handled ? result : next_fstatat64(dirfd, path, st, flags);
}

FAKEUVC_EXPORT int fstat(int fd, struct stat* st) noexcept
{
    return FstatHandle(fd, st) ? 0 : RealFstat(fd, st);
}

FAKEUVC_EXPORT int fstat64(int fd, struct stat64* st) noexcept
{
    FAKEUVC_NEXT(fstat64);
    return FstatHandle(fd, st) ? 0 : next_fstat64(fd, st);
}

FAKEUVC_EXPORT int statx(int dirfd, const char* path, int flags, unsigned int mask, struct statx* out) noexcept
{
    FAKEUVC_NEXT(statx);
    struct stat st {};
    bool handled = false;
    int result = 0;
    if ((flags & AT_EMPTY_PATH) != 0 && *path == '\0')
        handled = FstatHandle(dirfd, &st);
    else
        result = StatDevice(path, &st, handled);
    if (!handled)
        return next_statx(dirfd, path, flags, mask, out);
    if (result != 0)
        return result;
    std::memset(out, 0, sizeof *out);
    out->stx_mask = STATX_BASIC_STATS;
    out->stx_blksize = std::uint32_t(st.st_blksize);
    out->stx_nlink = std::uint32_t(st.st_nlink);
    out->stx_uid = st.st_uid;
    out->stx_gid = st.st_gid;
    out->stx_mode = std::uint16_t(st.st_mode);
    out->stx_ino = st.st_ino;
    out->stx_atime.tv_sec = out->stx_mtime.tv_sec = out->stx_ctime.tv_sec = st.st_mtim.tv_sec;
    out->stx_rdev_major = major(st.st_rdev);
    out->stx_rdev_minor = minor(st.st_rdev);
    out->stx_dev_major = major(st.st_dev);
    out->stx_dev_minor = minor(st.st_dev);
    return 0;
}

FAKEUVC_EXPORT int access(const char* path, int mode) noexcept
{
    FAKEUVC_NEXT(access);
    bool handled = false;
    const int result = AccessDevice(path, handled);
    return handled ? result : next_access(path, mode);
}

FAKEUVC_EXPORT int faccessat(int dirfd, const char* path, int mode, int flags) noexcept
{
    FAKEUVC_NEXT(faccessat);
    bool handled = false;
    const int result = AccessDevice(path, handled);
    return handled ? result : next_faccessat(dirfd, path, mode, flags);
}

FAKEUVC_EXPORT int euidaccess(const char* path, int mode) noexcept
{
    FAKEUVC_NEXT(euidaccess);
    bool handled = false;
    const int result = AccessDevice(path, handled);
    return handled ? result : next_euidaccess(path, mode);
}

FAKEUVC_EXPORT int eaccess(const char* path, int mode) noexcept
{
    FAKEUVC_NEXT(eaccess);
    bool handled = false;
    const int result = AccessDevice(path, handled);
    return handled ? result : next_eaccess(path, mode);
}

// Listings of the folder: the node's entry is added while it is plugged in.

FAKEUVC_EXPORT DIR* opendir(const char* path)
{
    FAKEUVC_NEXT(opendir);
    EnsureConfigured();
    DIR* dir = next_opendir(path);
    WatchListing(dir);
    return dir;
}

FAKEUVC_EXPORT DIR* fdopendir(int fd)
{
    FAKEUVC_NEXT(fdopendir);
    EnsureConfigured();
    DIR* dir = next_fdopendir(fd);
    WatchListing(dir);
    return dir;
}

FAKEUVC_EXPORT dirent* readdir(DIR* dir)
{
    FAKEUVC_NEXT(readdir);
    return ReadListing<dirent>(dir, next_readdir);
}

FAKEUVC_EXPORT dirent64* readdir64(DIR* dir)
{
    FAKEUVC_NEXT(readdir64);
    return ReadListing<dirent64>(dir, next_readdir64);
}

FAKEUVC_EXPORT void rewinddir(DIR* dir) noexcept
{
    FAKEUVC_NEXT(rewinddir);
    if (gListingCount.load(std::memory_order_relaxed) != 0) {
        State& s = TheState();
        std::lock_guard lock(s.mutex);
        const auto it = s.listings.find(dir);
        if (it != s.listings.end()) {
            it->second.next = 0;
            it->second.realEnded = false;
        }
    }
    next_rewinddir(dir);
}

FAKEUVC_EXPORT int closedir(DIR* dir)
{
    FAKEUVC_NEXT(closedir);
    if (gListingCount.load(std::memory_order_relaxed) != 0) {
        State& s = TheState();
        std::lock_guard lock(s.mutex);
        if (s.listings.erase(dir) != 0)
            gListingCount.fetch_sub(1);
    }
    return next_closedir(dir);
}
