#include "support/DefaultsFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

namespace tintra {

namespace {

// Settings files are small; anything bigger than this is not ours.
constexpr std::uintmax_t kMaxFileSize = 16u << 20;

// Closes a descriptor on every path out.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    int release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

bool writeAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

std::filesystem::path homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

} // namespace

DefaultsFile::DefaultsFile(std::filesystem::path folder, std::string_view domain)
    : folder_(std::move(folder))
    , file_(folder_ / (std::string(domain) + ".plist"))
{
    load();
}

std::string DefaultsFile::standardDomain()
{
    return TINTRA_MAKER_PREFIX ".TintraDorvel";
}

std::filesystem::path DefaultsFile::standardFolder()
{
    return standardFolder(std::getenv("XDG_CONFIG_HOME"), homeFolder());
}

std::filesystem::path DefaultsFile::standardFolder(const char* xdgConfigHome, const std::filesystem::path& home)
{
    // The XDG base directory rules say a relative value is to be ignored.
    std::filesystem::path base = xdgConfigHome ? std::filesystem::path(xdgConfigHome) : std::filesystem::path();
    if (base.empty() || !base.is_absolute())
        base = home / ".config";
    return base / "tintra-dorvel" / "";
}

const PropertyList* DefaultsFile::lookup(std::string_view key) const
{
    const auto found = values_.find(key);
    return found == values_.end() ? nullptr : &found->second;
}

void DefaultsFile::store(std::string_view key, PropertyList value)
{
    values_.insert_or_assign(std::string(key), std::move(value));
    writeFile();
}

void DefaultsFile::erase(std::string_view key)
{
    const auto found = values_.find(key);
    if (found == values_.end())
        return;
    values_.erase(found);
    writeFile();
}

void DefaultsFile::load()
{
    std::error_code error;
    const auto status = std::filesystem::status(file_, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return;
    std::ifstream in;
    if (status.type() == std::filesystem::file_type::regular)
        in.open(file_, std::ios::binary);
    if (!in) {
        // Not corrupt, only out of reach (permissions, a folder in its place):
        // writing would replace settings we never saw.
        keepsUnreadableFile_ = true;
        std::cout << "DefaultsFile: could not read " << file_.string() << ", starting empty and leaving it as it is" << std::endl;
        return;
    }
    Bytes bytes;
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        bytes.insert(bytes.end(), chunk, chunk + in.gcount());
        if (bytes.size() > kMaxFileSize)
            return moveAside("it is larger than any settings file");
    }
    in.close();
    auto list = readPropertyList(bytes);
    if (!list)
        return moveAside(list.error().description());
    auto* dictionary = std::get_if<PropertyList::Dictionary>(&list->value);
    if (!dictionary)
        return moveAside("its top level is not a dictionary");
    values_ = std::move(*dictionary);
}

void DefaultsFile::moveAside(const std::string& reason)
{
    auto aside = file_;
    aside += ".corrupt";
    std::error_code error;
    std::filesystem::rename(file_, aside, error);
    if (error)
        std::cout << "DefaultsFile: could not move unreadable " << file_.string() << " aside (" << error.message()
                  << "): " << reason << std::endl;
    else
        std::cout << "DefaultsFile: moved unreadable " << file_.string() << " aside to " << aside.filename().string()
                  << ", starting empty: " << reason << std::endl;
}

void DefaultsFile::writeFile()
{
    auto fail = [this](const std::string& why) {
        std::cout << "DefaultsFile: could not write " << file_.string() << ": " << why << std::endl;
    };
    if (keepsUnreadableFile_)
        return fail("it could not be read, and writing would lose what it holds");
    auto xml = writePropertyListXML(PropertyList(values_));
    if (!xml)
        return fail(xml.error().description());

    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (error)
        return fail(error.message());

    // Same folder, so that the rename cannot cross file systems.
    std::string temporary = (folder_ / ("." + file_.filename().string() + ".XXXXXX")).string();
    FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0)
        return fail(std::strerror(errno));
    auto abandon = [&](int savedErrno) {
        ::unlink(temporary.c_str());
        fail(std::strerror(savedErrno));
    };
    if (!writeAll(fd.get(), *xml) || ::fsync(fd.get()) != 0)
        return abandon(errno);
    if (::close(fd.release()) != 0)
        return abandon(errno);
    if (::rename(temporary.c_str(), file_.c_str()) != 0)
        return abandon(errno);

    FileDescriptor folder(::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0 || ::fsync(folder.get()) != 0)
        return fail(std::string("the new file is in place but its folder could not be synced: ") + std::strerror(errno));
}

} // namespace tintra
