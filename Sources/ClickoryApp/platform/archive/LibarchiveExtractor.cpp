// SPDX-License-Identifier: MIT
#include "ClickoryApp/platform/archive/LibarchiveExtractor.h"

#include <archive.h>
#include <archive_entry.h>

#include <memory>
#include <string_view>

namespace clickory {

namespace {

struct ReadCloser
{
    void operator()(archive* reader) const { archive_read_free(reader); }
};
struct WriteCloser
{
    void operator()(archive* writer) const { archive_write_free(writer); }
};

std::string errorOf(archive* handle, std::string_view what)
{
    const char* text = archive_error_string(handle);
    return std::string(what) + (text ? std::string(": ") + text : std::string());
}

// A relative name whose components never climb out of the folder it is joined to.
bool isContainedName(std::string_view name)
{
    if (name.empty() || name.front() == '/')
        return false;
    std::size_t start = 0;
    while (start <= name.size())
    {
        const std::size_t end = std::min(name.find('/', start), name.size());
        if (name.substr(start, end - start) == "..")
            return false;
        start = end + 1;
    }
    return true;
}

} // namespace

std::optional<std::string> LibarchiveExtractor::extract(const std::filesystem::path& archivePath,
                                                        const std::filesystem::path& destination)
{
    std::error_code error;
    // Entry names are joined to the resolved folder, so that the check against symbolic links on
    // disk looks at the archive's own components only.
    const std::filesystem::path root = std::filesystem::canonical(destination, error);
    if (error || !std::filesystem::is_directory(root, error))
        return "the destination is not a folder";

    std::unique_ptr<archive, ReadCloser> reader(archive_read_new());
    std::unique_ptr<archive, WriteCloser> writer(archive_write_disk_new());
    if (!reader || !writer)
        return "out of memory";
    archive_read_support_format_zip(reader.get());
    archive_write_disk_set_options(writer.get(), ARCHIVE_EXTRACT_SECURE_NODOTDOT | ARCHIVE_EXTRACT_SECURE_SYMLINKS |
                                                     ARCHIVE_EXTRACT_NO_OVERWRITE);
    if (archive_read_open_filename(reader.get(), archivePath.c_str(), 64 * 1024) != ARCHIVE_OK)
        return errorOf(reader.get(), "cannot open the archive");

    std::uint64_t entries = 0;
    std::uint64_t unpacked = 0;
    archive_entry* entry = nullptr;
    for (;;)
    {
        const int status = archive_read_next_header(reader.get(), &entry);
        if (status == ARCHIVE_EOF)
            break;
        if (status < ARCHIVE_WARN)
            return errorOf(reader.get(), "cannot read the archive");
        if (++entries > m_entryLimit)
            return "the archive has more than " + std::to_string(m_entryLimit) + " entries";

        const char* rawName = archive_entry_pathname(entry);
        if (!rawName)
            return "an entry's name cannot be read";
        const std::string name(rawName);
        if (!isContainedName(name))
            return "the entry \"" + name + "\" would land outside the folder";
        if (archive_entry_hardlink(entry) != nullptr || archive_entry_symlink(entry) != nullptr)
            return "the entry \"" + name + "\" is a link";
        const auto type = archive_entry_filetype(entry);
        if (type != AE_IFREG && type != AE_IFDIR)
            return "the entry \"" + name + "\" is neither a file nor a folder";
        if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > 0 &&
            static_cast<std::uint64_t>(archive_entry_size(entry)) > m_byteLimit - unpacked)
            return "the archive unpacks to more than " + std::to_string(m_byteLimit) + " bytes";

        archive_entry_set_pathname(entry, (root / name).c_str());
        archive_entry_set_perm(entry, type == AE_IFDIR ? 0755 : 0644);
        if (archive_write_header(writer.get(), entry) < ARCHIVE_WARN)
            return errorOf(writer.get(), "cannot write \"" + name + "\"");
        if (type == AE_IFREG)
        {
            for (;;)
            {
                const void* block = nullptr;
                size_t size = 0;
                la_int64_t offset = 0;
                const int read = archive_read_data_block(reader.get(), &block, &size, &offset);
                if (read == ARCHIVE_EOF)
                    break;
                if (read < ARCHIVE_WARN)
                    return errorOf(reader.get(), "cannot unpack \"" + name + "\"");
                if (size > m_byteLimit - unpacked)
                    return "the archive unpacks to more than " + std::to_string(m_byteLimit) + " bytes";
                unpacked += size;
                if (archive_write_data_block(writer.get(), block, size, offset) < ARCHIVE_WARN)
                    return errorOf(writer.get(), "cannot write \"" + name + "\"");
            }
        }
        if (archive_write_finish_entry(writer.get()) < ARCHIVE_WARN)
            return errorOf(writer.get(), "cannot finish \"" + name + "\"");
    }
    if (archive_write_close(writer.get()) != ARCHIVE_OK)
        return errorOf(writer.get(), "cannot finish unpacking");
    return std::nullopt;
}

} // namespace clickory
