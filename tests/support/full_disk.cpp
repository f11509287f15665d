#include "full_disk.h"

#include <sqlcipher/sqlite3.h>

#include <QByteArray>
#include <QString>

#include <cstring>

namespace quad::test {

namespace {

sqlite3_vfs* g_real = nullptr;
sqlite3_vfs g_vfs;
QByteArray g_pathPart;
std::function<void(const QString&)> g_beforeWrite;

/// Our file: the real one's storage follows it in the same block.
struct FaultyFile
{
    sqlite3_file base;
    sqlite3_file* real;
    const char* name; ///< valid while the file is open
    bool full;
};

sqlite3_io_methods g_methods;

sqlite3_file* realOf(sqlite3_file* f)
{
    return reinterpret_cast<FaultyFile*>(f)->real;
}

int fClose(sqlite3_file* f)
{
    sqlite3_file* real = realOf(f);
    return real->pMethods ? real->pMethods->xClose(real) : SQLITE_OK;
}
int fRead(sqlite3_file* f, void* buf, int n, sqlite3_int64 off)
{
    return realOf(f)->pMethods->xRead(realOf(f), buf, n, off);
}
int fWrite(sqlite3_file* f, const void* buf, int n, sqlite3_int64 off)
{
    if (reinterpret_cast<FaultyFile*>(f)->full) {
        if (!g_beforeWrite)
            return SQLITE_FULL;
        g_beforeWrite(QString::fromUtf8(reinterpret_cast<FaultyFile*>(f)->name));
    }
    return realOf(f)->pMethods->xWrite(realOf(f), buf, n, off);
}
int fTruncate(sqlite3_file* f, sqlite3_int64 size)
{
    return realOf(f)->pMethods->xTruncate(realOf(f), size);
}
int fSync(sqlite3_file* f, int flags)
{
    return realOf(f)->pMethods->xSync(realOf(f), flags);
}
int fFileSize(sqlite3_file* f, sqlite3_int64* size)
{
    return realOf(f)->pMethods->xFileSize(realOf(f), size);
}
int fLock(sqlite3_file* f, int level)
{
    return realOf(f)->pMethods->xLock(realOf(f), level);
}
int fUnlock(sqlite3_file* f, int level)
{
    return realOf(f)->pMethods->xUnlock(realOf(f), level);
}
int fCheckReservedLock(sqlite3_file* f, int* out)
{
    return realOf(f)->pMethods->xCheckReservedLock(realOf(f), out);
}
int fFileControl(sqlite3_file* f, int op, void* arg)
{
    return realOf(f)->pMethods->xFileControl(realOf(f), op, arg);
}
int fSectorSize(sqlite3_file* f)
{
    return realOf(f)->pMethods->xSectorSize(realOf(f));
}
int fDeviceCharacteristics(sqlite3_file* f)
{
    return realOf(f)->pMethods->xDeviceCharacteristics(realOf(f));
}
int fShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out)
{
    return realOf(f)->pMethods->xShmMap(realOf(f), page, size, extend, out);
}
int fShmLock(sqlite3_file* f, int offset, int n, int flags)
{
    return realOf(f)->pMethods->xShmLock(realOf(f), offset, n, flags);
}
void fShmBarrier(sqlite3_file* f)
{
    realOf(f)->pMethods->xShmBarrier(realOf(f));
}
int fShmUnmap(sqlite3_file* f, int deleteFlag)
{
    return realOf(f)->pMethods->xShmUnmap(realOf(f), deleteFlag);
}
int fFetch(sqlite3_file* f, sqlite3_int64 off, int n, void** out)
{
    return realOf(f)->pMethods->xFetch(realOf(f), off, n, out);
}
int fUnfetch(sqlite3_file* f, sqlite3_int64 off, void* p)
{
    return realOf(f)->pMethods->xUnfetch(realOf(f), off, p);
}

int vOpen(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags)
{
    auto* ours = reinterpret_cast<FaultyFile*>(file);
    ours->real = reinterpret_cast<sqlite3_file*>(ours + 1);
    ours->name = name;
    ours->full = name && std::strstr(name, g_pathPart.constData()) != nullptr;
    const int rc = g_real->xOpen(g_real, name, ours->real, flags, outFlags);
    if (rc != SQLITE_OK || !ours->real->pMethods) {
        file->pMethods = nullptr;
        return rc;
    }
    g_methods.iVersion = ours->real->pMethods->iVersion;
    file->pMethods = &g_methods;
    return rc;
}

int vDelete(sqlite3_vfs*, const char* name, int syncDir)
{
    return g_real->xDelete(g_real, name, syncDir);
}
int vAccess(sqlite3_vfs*, const char* name, int flags, int* out)
{
    return g_real->xAccess(g_real, name, flags, out);
}
int vFullPathname(sqlite3_vfs*, const char* name, int n, char* out)
{
    return g_real->xFullPathname(g_real, name, n, out);
}

} // namespace

FullDisk::FullDisk(const QString& pathPart, std::function<void(const QString&)> beforeWrite)
{
    g_pathPart = pathPart.toUtf8();
    g_beforeWrite = std::move(beforeWrite);
    g_real = sqlite3_vfs_find(nullptr);
    g_vfs = *g_real;
    g_vfs.zName = "quad_full_disk";
    g_vfs.szOsFile = int(sizeof(FaultyFile)) + g_real->szOsFile;
    g_vfs.pNext = nullptr;
    g_vfs.xOpen = vOpen;
    g_vfs.xDelete = vDelete;
    g_vfs.xAccess = vAccess;
    g_vfs.xFullPathname = vFullPathname;
    g_methods = sqlite3_io_methods {3,
                                    fClose,
                                    fRead,
                                    fWrite,
                                    fTruncate,
                                    fSync,
                                    fFileSize,
                                    fLock,
                                    fUnlock,
                                    fCheckReservedLock,
                                    fFileControl,
                                    fSectorSize,
                                    fDeviceCharacteristics,
                                    fShmMap,
                                    fShmLock,
                                    fShmBarrier,
                                    fShmUnmap,
                                    fFetch,
                                    fUnfetch};
    sqlite3_vfs_register(&g_vfs, 1);
}

FullDisk::~FullDisk()
{
    sqlite3_vfs_register(g_real, 1);
    sqlite3_vfs_unregister(&g_vfs);
    g_beforeWrite = nullptr;
}

} // namespace quad::test
