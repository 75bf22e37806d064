#include "setup/ZipContainer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

#include "setup/ZipException.h"
#include "setup/ZipFile.h"
#include "setup/ZipPathParts.h"
#include "setup/ZipPlatform.h"

namespace {

const uint32_t kDataBufferSize = 16384;
const uint32_t kEncryptionHeaderSize = 12;

// A stored name that would leave the target folder: a ".." part, a
// leading separator, a drive or share prefix, or any ':'.
bool IsUnsafeName(const std::string& name)
{
    if (name.empty() || name[0] == '\\' || name[0] == '/' || name.find(':') != std::string::npos)
        return true;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("\\/", start);
        if (end == std::string::npos)
            end = name.size();
        if (name.compare(start, end - start, "..") == 0 && end - start == 2)
            return true;
        start = end + 1;
    }
    return false;
}

// A member that was not written whole leaves no file behind.
void RemovePartialFile(const std::string& path)
{
    if (ZipPlatform::FileExists(path) != 1)
        return;
    ZipPlatform::SetAttributes(path, 0);
    try {
        ZipPlatform::DeleteDiskFile(path);
    } catch (const CZipException&) {
    }
}

std::string FileNamePart(const std::string& name)
{
    size_t slash = name.find_last_of("\\/");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

} // namespace

CZipContainer::CZipContainer()
    : m_keys{0, 0, 0}, m_system(0), m_memberState(0), m_bytesLeft(0), m_uncompressedLeft(0), m_crc(0),
      m_stream(), m_trackZlib(true)
{
    m_directory.Attach(&m_store);
}

CZipContainer::~CZipContainer()
{
    if (!IsClosed())
        Close(true);
}

std::string CZipContainer::GetArchivePath() const
{
    return IsClosed() ? std::string() : m_store.ArchivePath();
}

void CZipContainer::ThrowError(int code, bool zlib)
{
    throw CZipException(zlib ? CZipException::CauseOfZlibResult(code) : code, GetArchivePath());
}

void CZipContainer::CheckForError(int result)
{
    if (result != Z_OK && result != Z_NEED_DICT)
        ThrowError(result, true);
}

voidpf CZipContainer::Alloc(voidpf opaque, uInt items, uInt size)
{
    void* block = calloc(items, size);
    if (block != nullptr && opaque != nullptr)
        static_cast<CZipContainer*>(opaque)->m_zlibBlocks.push_back(block);
    return block;
}

void CZipContainer::Free(voidpf opaque, voidpf address)
{
    if (opaque != nullptr) {
        std::vector<void*>& blocks = static_cast<CZipContainer*>(opaque)->m_zlibBlocks;
        auto it = std::find(blocks.begin(), blocks.end(), address);
        if (it != blocks.end())
            blocks.erase(it);
    }
    free(address);
}

void CZipContainer::ReleaseMember()
{
    // Whatever zlib still holds (an exception may have left a stream
    // unfinished) goes with the member.
    for (void* block : m_zlibBlocks)
        free(block);
    m_zlibBlocks.clear();
    m_stream = z_stream();
    m_data.clear();
    m_data.shrink_to_fit();
    m_memberState = 0;
    m_bytesLeft = 0;
    m_directory.m_current = nullptr;
}

void CZipContainer::Open(CZipFileInterface& file, int mode)
{
    if (!IsClosed() || mode < zipOpen || mode > zipCreate)
        return;
    m_password.clear();
    m_directory.Clear();
    try {
        m_store.Open(&file, mode);
        if (mode == zipCreate) {
            m_system = 0;
            return;
        }
        m_directory.Read();
        m_system = m_directory.GetSystem();
    } catch (...) {
        Close(true);
        throw;
    }
}

void CZipContainer::OpenSpanned(const std::string& path, uint32_t splitSize)
{
    if (!IsClosed())
        return;
    m_password.clear();
    m_directory.Clear();
    try {
        m_store.OpenSpanned(path, splitSize);
        uint8_t signature[4];
        ZipPut32(signature, ZIP_SPAN_SIGNATURE);
        m_store.Write(signature, 4, true);
        m_system = 0;
    } catch (...) {
        Close(true);
        throw;
    }
}

bool CZipContainer::GetEntryInfo(int index, CZipEntryHeader& header) const
{
    const CZipEntryHeader* stored = m_directory.GetHeader(size_t(index));
    if (index < 0 || stored == nullptr)
        return false;
    header = *stored;
    if (!m_directory.m_convertNames)
        ZipPlatform::ConvertName(header.m_name, header.GetSystem(), true);
    return true;
}

void CZipContainer::UpdateKeys(uint8_t c)
{
    const z_crc_t* table = get_crc_table();
    m_keys[0] = table[(m_keys[0] ^ c) & 0xFF] ^ (m_keys[0] >> 8);
    m_keys[1] = (m_keys[1] + (m_keys[0] & 0xFF)) * 134775813u + 1;
    m_keys[2] = table[(m_keys[2] ^ (m_keys[1] >> 24)) & 0xFF] ^ (m_keys[2] >> 8);
}

uint8_t CZipContainer::StreamByte() const
{
    uint32_t t = (m_keys[2] & 0xFFFF) | 2;
    return uint8_t(((t * (t ^ 1)) >> 8) & 0xFF);
}

void CZipContainer::InitKeys()
{
    m_keys[0] = 0x12345678;
    m_keys[1] = 0x23456789;
    m_keys[2] = 0x34567890;
    for (char c : m_password)
        UpdateKeys(uint8_t(c));
}

void CZipContainer::DecryptBuffer(uint8_t* data, uint32_t size)
{
    for (uint32_t i = 0; i < size; i++) {
        uint8_t plain = data[i] ^ StreamByte();
        UpdateKeys(plain);
        data[i] = plain;
    }
}

void CZipContainer::EncryptBuffer(uint8_t* data, uint32_t size)
{
    for (uint32_t i = 0; i < size; i++) {
        uint8_t stream = StreamByte();
        UpdateKeys(data[i]);
        data[i] ^= stream;
    }
}

bool CZipContainer::CheckEncryptionHeader()
{
    if (m_password.empty())
        return false;
    const CZipEntryHeader& header = *m_directory.m_current;
    InitKeys();
    uint8_t encryption[kEncryptionHeaderSize];
    m_store.Read(encryption, kEncryptionHeaderSize, false);
    DecryptBuffer(encryption, kEncryptionHeaderSize);
    uint8_t check = header.HasDescriptor() ? uint8_t(header.m_modTime >> 8) : uint8_t(header.m_crc32 >> 24);
    if (encryption[kEncryptionHeaderSize - 1] != check)
        ThrowError(CZipException::badPassword, false);
    return true;
}

bool CZipContainer::OpenFile(int index)
{
    CZipEntryHeader* header = m_directory.GetHeader(size_t(index));
    if (index < 0 || header == nullptr || m_memberState != 0 || m_store.IsSpanMode() == 1)
        return false;
    if (m_store.IsSpanMode() != 0)
        m_store.ChangeVolume(header->m_diskStart);
    CZipFileInterface* file = m_store.File();
    file->Seek(int64_t(uint64_t(header->m_localOffset) + m_directory.m_prefix), ZIP_SEEK_BEGIN);
    uint8_t local[ZIP_LOCAL_SIZE];
    m_store.Read(local, ZIP_LOCAL_SIZE, true);
    int volume = m_store.CurrentVolume();
    uint16_t flags = ZipGet16(local + 6);
    uint16_t method = ZipGet16(local + 8);
    uint16_t nameLength = ZipGet16(local + 26);
    uint16_t extraLength = ZipGet16(local + 28);
    bool same = ZipGet32(local) == ZIP_LOCAL_SIGNATURE && flags == header->m_flags &&
                method == header->m_method && (method == 0 || method == 8) &&
                nameLength == header->m_name.size();
    if (same && !header->HasDescriptor())
        same = ZipGet32(local + 14) == header->m_crc32 && ZipGet32(local + 18) == header->m_compressedSize &&
               ZipGet32(local + 22) == header->m_uncompressedSize;
    // A stored member's sizes differ only by an encryption header.
    uint32_t overhead = header->IsEncrypted() ? kEncryptionHeaderSize : 0;
    if (same && method == 0 && uint64_t(header->m_uncompressedSize) + overhead != header->m_compressedSize)
        same = false;
    if (!same || header->m_compressedSize < overhead)
        ThrowError(CZipException::badZipFile, false);
    // The local header and the data stay clear of the other members and of
    // the directory: overlapping members would unpack the same bytes again
    // and again.
    uint64_t end = uint64_t(header->m_localOffset) + ZIP_LOCAL_SIZE + nameLength + extraLength +
                   header->m_compressedSize;
    if (end > m_directory.GetMemberLimit(size_t(index)))
        ThrowError(CZipException::badZipFile, false);
    std::string localName(nameLength, '\0');
    if (nameLength > 0)
        m_store.Read(&localName[0], nameLength, true);
    if (m_directory.m_convertNames)
        ZipPlatform::ConvertName(localName, header->GetSystem(), true);
    m_directory.m_localExtra.assign(extraLength, 0);
    if (extraLength > 0)
        m_store.Read(m_directory.m_localExtra.data(), extraLength, true);
    if (m_store.CurrentVolume() != volume || localName != header->m_name)
        ThrowError(CZipException::badZipFile, false);

    m_directory.m_current = header;
    if (header->IsEncrypted() && !CheckEncryptionHeader()) {
        m_directory.m_current = nullptr;
        return false;
    }
    m_bytesLeft = header->m_compressedSize - overhead;
    m_uncompressedLeft = header->m_uncompressedSize;
    m_crc = 0;
    m_data.assign(kDataBufferSize, 0);
    m_stream = z_stream();
    if (m_trackZlib) {
        m_stream.zalloc = Alloc;
        m_stream.zfree = Free;
        m_stream.opaque = this;
    }
    if (method == 8) {
        int result = inflateInit2(&m_stream, -MAX_WBITS);
        if (result != Z_OK) {
            ReleaseMember();
            CheckForError(result);
        }
    }
    m_memberState = -1;
    return true;
}

uint32_t CZipContainer::ReadFile(void* buffer, uint32_t size)
{
    if (m_memberState != -1 || size == 0)
        return 0;
    const CZipEntryHeader& header = *m_directory.m_current;
    uint8_t* out = static_cast<uint8_t*>(buffer);
    uint32_t produced = 0;
    if (header.m_method == 0) {
        while (produced < size && m_bytesLeft > 0) {
            uint32_t n = std::min(std::min(size - produced, m_bytesLeft), kDataBufferSize);
            m_store.Read(out + produced, n, false);
            if (header.IsEncrypted())
                DecryptBuffer(out + produced, n);
            m_bytesLeft -= n;
            produced += n;
        }
    } else {
        m_stream.next_out = out;
        m_stream.avail_out = size;
        while (m_stream.avail_out > 0) {
            if (m_stream.avail_in == 0 && m_bytesLeft > 0) {
                uint32_t n = std::min(kDataBufferSize, m_bytesLeft);
                m_store.Read(m_data.data(), n, false);
                if (header.IsEncrypted())
                    DecryptBuffer(m_data.data(), n);
                m_bytesLeft -= n;
                m_stream.next_in = m_data.data();
                m_stream.avail_in = n;
            }
            uLong before = m_stream.total_out;
            int result = inflate(&m_stream, Z_SYNC_FLUSH);
            if (result == Z_STREAM_END || result == Z_NEED_DICT)
                break;
            CheckForError(result);
            if (m_stream.total_out == before && m_stream.avail_in == 0 && m_bytesLeft == 0)
                break;
        }
        produced = size - m_stream.avail_out;
    }
    // The output never grows past the size the directory gives.
    if (produced > m_uncompressedLeft)
        ThrowError(CZipException::badZipFile, false);
    m_uncompressedLeft -= produced;
    m_crc = uint32_t(crc32(m_crc, out, produced));
    return produced;
}

void CZipContainer::ReadDescriptor()
{
    const CZipEntryHeader& header = *m_directory.m_current;
    uint8_t skip[256];
    while (m_bytesLeft > 0) {
        uint32_t n = std::min<uint32_t>(m_bytesLeft, sizeof(skip));
        m_store.Read(skip, n, false);
        m_bytesLeft -= n;
    }
    uint8_t fields[12];
    m_store.Read(fields, 4, false);
    if (ZipGet32(fields) == ZIP_DESCRIPTOR_SIGNATURE)
        m_store.Read(fields, 12, false);
    else
        m_store.Read(fields + 4, 8, false);
    if (ZipGet32(fields) != header.m_crc32 || ZipGet32(fields + 4) != header.m_compressedSize ||
        ZipGet32(fields + 8) != header.m_uncompressedSize)
        ThrowError(CZipException::badZipFile, false);
}

int CZipContainer::CloseFile(const std::string& extractedPath)
{
    if (m_memberState != -1)
        return 0;
    try {
        const CZipEntryHeader& header = *m_directory.m_current;
        int result = 1;
        if (m_uncompressedLeft > 0) {
            result = -1;
        } else {
            if (header.HasDescriptor())
                ReadDescriptor();
            if (m_crc != header.m_crc32)
                ThrowError(CZipException::badCrc, false);
        }
        if (header.m_method == 8)
            inflateEnd(&m_stream);
        if (result == 1 && !extractedPath.empty()) {
            if (!ZipPlatform::IsSupportedSystem(header.GetSystem())) {
                result = -2;
            } else {
                uint32_t attributes =
                    ZipPlatform::ConvertAttributes(header.m_externalAttributes, header.GetSystem(), 0, GetArchivePath());
                if (!ZipPlatform::SetModTime(extractedPath, header.m_modDate, header.m_modTime) ||
                    !ZipPlatform::SetAttributes(extractedPath, attributes))
                    result = -2;
            }
        }
        ReleaseMember();
        return result;
    } catch (...) {
        ReleaseMember();
        throw;
    }
}

bool CZipContainer::MakeTarget(int index, const std::string& folder, bool fullPath, const char* newName,
                               std::string& target)
{
    const CZipEntryHeader* header = m_directory.GetHeader(size_t(index));
    if (index < 0 || header == nullptr)
        ThrowError(CZipException::noSuchEntry, false);
    std::string name = newName != nullptr ? std::string(newName) : header->m_name;
    if (!m_directory.m_convertNames)
        ZipPlatform::ConvertName(name, header->GetSystem(), true);
    if (IsUnsafeName(name))
        ThrowError(CZipException::badZipFile, false);
    if (newName == nullptr && !fullPath)
        name = FileNamePart(name);
    target = folder;
    if (!target.empty() && target.back() != '\\' && target.back() != '/')
        target += '\\';
    target += name;
    uint32_t attributes = ZipPlatform::ConvertAttributes(header->m_externalAttributes, header->GetSystem(), 0,
                                                         GetArchivePath());
    bool folderMember = (attributes & ZIP_ATTR_DIRECTORY) != 0 ||
                        (!header->m_name.empty() && (header->m_name.back() == '/' || header->m_name.back() == '\\'));
    if (folderMember) {
        while (!target.empty() && target.back() == '\\')
            target.pop_back();
        if (!ZipPlatform::ForceFolder(target))
            return false;
        ZipPlatform::SetAttributes(target, attributes);
    }
    return folderMember;
}

bool CZipContainer::ExtractEntry(int index, const std::string& folder, bool fullPath, const char* newName,
                                 ZipExtractCallback callback, void* userData, uint32_t bufferSize)
{
    std::string target;
    if (MakeTarget(index, folder, fullPath, newName, target))
        return true;
    if (bufferSize == 0)
        bufferSize = 65535;
    if (!OpenFile(index))
        return false;
    uint32_t total = m_directory.m_current->m_uncompressedSize;
    CZipPathParts parts(target);
    bool written = false;
    {
        CZipFile out;
        try {
            if (!ZipPlatform::ForceFolder(parts.GetFolderPath()))
                throw CFileException(CFileException::badPath, -1, target);
            out.Open(target, ZIP_MODE_CREATE | ZIP_MODE_READ_WRITE | ZIP_SHARE_DENY_WRITE, true);
            std::vector<uint8_t> block(bufferSize);
            uint32_t done = 0;
            for (;;) {
                uint32_t n = ReadFile(block.data(), bufferSize);
                if (n > 0)
                    out.Write(block.data(), n);
                done += n;
                if (callback != nullptr && !callback(total, done, userData))
                    break;
                if (n < bufferSize)
                    break;
            }
            out.Close();
            written = CloseFile(target) == 1;
        } catch (...) {
            out.Close();
            ReleaseMember();
            RemovePartialFile(target);
            throw;
        }
    }
    if (!written)
        RemovePartialFile(target);
    if (m_memberState != 0)
        CloseFile();
    return written;
}

bool CZipContainer::OpenNewEntry(const CZipEntryHeader& source, int level)
{
    if (IsClosed() || m_memberState != 0 || m_store.IsSpanMode() == -1)
        return false;
    std::unique_ptr<CZipEntryHeader> header(new CZipEntryHeader(source));
    header->m_versionMadeBy = uint16_t((m_system << 8) | 20);
    header->m_versionNeeded = 20;
    header->m_flags = 0;
    if (!m_password.empty())
        header->m_flags |= ZIP_FLAG_ENCRYPTED;
    // The CRC is not known before the data: spanned and encrypted members
    // carry it in a descriptor after the data.
    if (m_store.IsSpanMode() == 1 || !m_password.empty())
        header->m_flags |= ZIP_FLAG_DESCRIPTOR;
    if (header->m_method != 0)
        header->m_method = 8;
    header->m_crc32 = 0;
    header->m_compressedSize = header->IsEncrypted() ? kEncryptionHeaderSize : 0;
    header->m_uncompressedSize = 0;

    std::string name = header->m_name;
    ZipPlatform::ConvertName(name, header->GetSystem(), false);
    std::vector<uint8_t> local(ZIP_LOCAL_SIZE + name.size() + header->m_extra.size());
    uint8_t* p = local.data();
    ZipPut32(p, ZIP_LOCAL_SIGNATURE);
    ZipPut16(p + 4, header->m_versionNeeded);
    ZipPut16(p + 6, header->m_flags);
    ZipPut16(p + 8, header->m_method);
    ZipPut16(p + 10, header->m_modTime);
    ZipPut16(p + 12, header->m_modDate);
    ZipPut16(p + 26, uint16_t(name.size()));
    ZipPut16(p + 28, uint16_t(header->m_extra.size()));
    std::copy(name.begin(), name.end(), local.begin() + ZIP_LOCAL_SIZE);
    std::copy(header->m_extra.begin(), header->m_extra.end(), local.begin() + ZIP_LOCAL_SIZE + long(name.size()));
    // Written at once, so the header ends where the position now is.
    m_store.Write(local.data(), uint32_t(local.size()), true);
    header->m_localOffset = uint32_t(m_store.GetPosition() - local.size());
    header->m_diskStart = uint16_t(m_store.CurrentVolume());

    if (header->IsEncrypted()) {
        InitKeys();
        uint8_t encryption[kEncryptionHeaderSize];
        for (uint32_t i = 0; i + 1 < kEncryptionHeaderSize; i++)
            encryption[i] = uint8_t(rand());
        encryption[kEncryptionHeaderSize - 1] = uint8_t(header->m_modTime >> 8);
        EncryptBuffer(encryption, kEncryptionHeaderSize);
        m_store.Write(encryption, kEncryptionHeaderSize, false);
    }
    m_stream = z_stream();
    if (m_trackZlib) {
        m_stream.zalloc = Alloc;
        m_stream.zfree = Free;
        m_stream.opaque = this;
    }
    if (header->m_method == 8) {
        int result = deflateInit2(&m_stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
        if (result != Z_OK) {
            ReleaseMember();
            CheckForError(result);
        }
    }
    m_data.assign(kDataBufferSize, 0);
    m_bytesLeft = 0;
    m_crc = 0;
    m_uncompressedLeft = 0;
    m_directory.m_current = header.get();
    m_directory.m_headers.push_back(std::move(header));
    m_memberState = 1;
    return true;
}

void CZipContainer::FlushDataBuffer()
{
    if (m_directory.m_current->IsEncrypted())
        EncryptBuffer(m_data.data(), m_bytesLeft);
    m_store.Write(m_data.data(), m_bytesLeft, false);
    m_bytesLeft = 0;
}

bool CZipContainer::WriteNewEntry(const void* data, uint32_t size)
{
    if (m_memberState != 1)
        return false;
    CZipEntryHeader& header = *m_directory.m_current;
    const uint8_t* in = static_cast<const uint8_t*>(data);
    m_crc = uint32_t(crc32(m_crc, in, size));
    if (header.m_method == 0) {
        m_uncompressedLeft += size;  // counts the stored bytes
        while (size > 0) {
            uint32_t n = std::min(size, kDataBufferSize - m_bytesLeft);
            memcpy(m_data.data() + m_bytesLeft, in, n);
            m_bytesLeft += n;
            in += n;
            size -= n;
            if (m_bytesLeft == kDataBufferSize)
                FlushDataBuffer();
        }
        return true;
    }
    m_stream.next_in = const_cast<uint8_t*>(in);
    m_stream.avail_in = size;
    while (m_stream.avail_in > 0) {
        m_stream.next_out = m_data.data() + m_bytesLeft;
        m_stream.avail_out = kDataBufferSize - m_bytesLeft;
        CheckForError(deflate(&m_stream, Z_NO_FLUSH));
        m_bytesLeft = kDataBufferSize - m_stream.avail_out;
        if (m_bytesLeft == kDataBufferSize)
            FlushDataBuffer();
    }
    return true;
}

bool CZipContainer::CloseNewEntry()
{
    if (m_memberState != 1)
        return false;
    CZipEntryHeader& header = *m_directory.m_current;
    try {
        if (header.m_method == 8) {
            int result;
            m_stream.avail_in = 0;
            do {
                m_stream.next_out = m_data.data() + m_bytesLeft;
                m_stream.avail_out = kDataBufferSize - m_bytesLeft;
                result = deflate(&m_stream, Z_FINISH);
                m_bytesLeft = kDataBufferSize - m_stream.avail_out;
                if (m_bytesLeft == kDataBufferSize)
                    FlushDataBuffer();
            } while (result == Z_OK);
            CheckForError(result == Z_STREAM_END ? Z_OK : result);
        }
        FlushDataBuffer();
        if (header.m_method == 8) {
            CheckForError(deflateEnd(&m_stream));
            header.m_compressedSize += uint32_t(m_stream.total_out);
            header.m_uncompressedSize = uint32_t(m_stream.total_in);
        } else {
            header.m_compressedSize += m_uncompressedLeft;
            header.m_uncompressedSize = m_uncompressedLeft;
        }
        header.m_crc32 = m_crc;
        m_directory.CloseNewEntry();
    } catch (...) {
        ReleaseMember();
        throw;
    }
    ReleaseMember();
    return true;
}

void CZipContainer::Close(bool afterException)
{
    if (IsClosed())
        return;
    if (afterException) {
        ReleaseMember();
        m_store.Close(true);
        m_directory.Clear();
        m_password.clear();
        return;
    }
    try {
        if (m_memberState == -1)
            CloseFile();
        else if (m_memberState == 1)
            CloseNewEntry();
        m_directory.Write();
    } catch (...) {
        Close(true);
        throw;
    }
    m_directory.Clear();
    m_store.Close(false);
    m_password.clear();
}
