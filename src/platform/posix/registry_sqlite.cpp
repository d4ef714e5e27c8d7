// The registry functions over one SQLite database file: keys are rows of a tree (the five roots are
// fixed rows), values rows under their key. Only this file knows the storage. Each process keeps
// its connections open between calls (one per thread at a time); a child after fork opens its own.
// A file that fails the checks at open (not SQLite, damaged, another program's database) is
// never written; nothing here deletes or rewrites a user's file.
#include <gorv/platform/win_registry.h>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include <fcntl.h>
#include <pthread.h>
#include <pwd.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unicode/uchar.h>
#include <unistd.h>

#include "platform/utf8.h"

namespace {

// Database layout (user_version 1, application_id kAppId):
//   key(id INTEGER PRIMARY KEY, parent -> key.id or NULL for a root, name as written,
//       fold = the name's comparison key (encode_name); unique (parent, fold))
//   value(id INTEGER PRIMARY KEY (order of first write), key -> key.id, name, fold, type, data BLOB;
//         unique (key, fold))
// Deleting a key deletes its subtree and values through the foreign keys' cascades.
constexpr int kAppId = 0x676F7276;  // "gorv"
// Long enough for a queue of writers (each holds the lock for well under a millisecond), short
// enough that a stopped process holding the lock turns into a failed call, not a hang.
constexpr int kBusyTimeoutMs = 10000;
constexpr std::size_t kMaxIdleSessions = 8;

const char* const kSchema =
    "CREATE TABLE key(id INTEGER PRIMARY KEY, parent INTEGER REFERENCES key(id) ON DELETE CASCADE,"
    " name TEXT NOT NULL, fold TEXT NOT NULL);"
    "CREATE UNIQUE INDEX key_by_name ON key(parent, fold);"
    "CREATE TABLE value(id INTEGER PRIMARY KEY,"
    " key INTEGER NOT NULL REFERENCES key(id) ON DELETE CASCADE,"
    " name TEXT NOT NULL, fold TEXT NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL);"
    "CREATE UNIQUE INDEX value_by_name ON value(key, fold);"
    "CREATE INDEX value_by_order ON value(key, id);"
    "INSERT INTO key(id, parent, name, fold) VALUES"
    " (1, NULL, 'HKEY_CLASSES_ROOT', 'HKEY_CLASSES_ROOT'),"
    " (2, NULL, 'HKEY_CURRENT_USER', 'HKEY_CURRENT_USER'),"
    " (3, NULL, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE'),"
    " (4, NULL, 'HKEY_USERS', 'HKEY_USERS'),"
    " (5, NULL, 'HKEY_CURRENT_CONFIG', 'HKEY_CURRENT_CONFIG');"
    "PRAGMA application_id = 1735357046;"
    "PRAGMA user_version = 1;";
static_assert(kAppId == 1735357046, "application id in the schema text");

enum Stmt {
    kFindKey,
    kInsertKey,
    kKeyRow,
    kGetValue,
    kSetValue,
    kDeleteValue,
    kEnumKey,
    kEnumKeyAfter,
    kEnumValue,
    kEnumValueAfter,
    kDeleteKey,
    kDeleteChildKeys,
    kDeleteValues,
    kStmtCount
};
const char* const kStmtText[kStmtCount] = {
    "SELECT id FROM key WHERE parent = ?1 AND fold = ?2",
    "INSERT INTO key(parent, name, fold) VALUES (?1, ?2, ?3)",
    "SELECT parent, name FROM key WHERE id = ?1",
    "SELECT type, data FROM value WHERE key = ?1 AND fold = ?2",
    ("INSERT INTO value(key, name, fold, type, data) VALUES (?1, ?2, ?3, ?4, ?5)"
     " ON CONFLICT(key, fold) DO UPDATE SET type = excluded.type, data = excluded.data"),
    "DELETE FROM value WHERE key = ?1 AND fold = ?2",
    "SELECT name, fold FROM key WHERE parent = ?1 ORDER BY fold LIMIT 1 OFFSET ?2",
    "SELECT name, fold FROM key WHERE parent = ?1 AND fold > ?2 ORDER BY fold LIMIT 1",
    "SELECT name, type, data, id FROM value WHERE key = ?1 ORDER BY id LIMIT 1 OFFSET ?2",
    "SELECT name, type, data, id FROM value WHERE key = ?1 AND id > ?2 ORDER BY id LIMIT 1",
    "DELETE FROM key WHERE id = ?1",
    "DELETE FROM key WHERE parent = ?1",
    "DELETE FROM value WHERE key = ?1",
};

// ---- text ----------------------------------------------------------------------------------

// UTF-8 of one code point; lone surrogates are kept as three-byte forms so that any name written
// reads back unchanged. Code points past U+10FFFF cannot be names.
bool append_utf8(std::string& out, std::int64_t c) {
    if (c < 0 || c > 0x10FFFF) return false;
    gorv_detail::append_utf8(out, static_cast<char32_t>(c));
    return true;
}

// Reads back what append_utf8 wrote; a cut sequence at the end reads byte by byte.
std::wstring decode_utf8(const unsigned char* p, std::size_t n) {
    std::wstring out;
    for (std::size_t i = 0; i < n;) {
        const unsigned c = p[i];
        std::size_t extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (i + extra >= n) extra = 0;
        std::uint32_t cp = extra == 0 ? c : (c & (0x3Fu >> extra));
        for (std::size_t k = 1; k <= extra; ++k) cp = (cp << 6) | (p[i + k] & 0x3Fu);
        out += static_cast<wchar_t>(cp);
        i += extra + 1;
    }
    return out;
}

// A name as stored and its comparison key: each character case-folded, then upper-cased (simple,
// one-to-one mappings). Every letter matches its other case (also pairs such as "ß"/"ẞ" and
// "σ"/"ς"/"Σ"), "ß" and "SS" stay different names, and keys sort as Windows sorts its upper-cased
// names (so "_x" comes after "Z").
bool encode_name(const wchar_t* s, std::size_t n, std::string& name, std::string& fold) {
    name.clear();
    fold.clear();
    for (std::size_t i = 0; i < n; ++i) {
        const std::int64_t c = static_cast<std::int64_t>(s[i]);
        if (!append_utf8(name, c)) return false;
        append_utf8(fold, u_toupper(u_foldCase(static_cast<UChar32>(c), U_FOLD_CASE_DEFAULT)));
    }
    return true;
}

// A value name as stored and its comparison key; a null name is the default value's "".
bool encode_value_name(LPCWSTR s, std::string& name, std::string& fold) {
    const wchar_t* vn = s ? s : L"";
    return encode_name(vn, std::wcslen(vn), name, fold);
}

// ---- sessions --------------------------------------------------------------------------------

struct Session {
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt[kStmtCount] = {};
    std::string path;
    dev_t dev = 0;
    ino_t ino = 0;
    bool readOnly = false;     // the file or its folder cannot be written
    bool immutable = false;    // read without locks (read-only folder): never kept between calls
    bool schemaReady = false;  // false: an empty file or database that the first write sets up
    bool broken = false;       // a damaged file was met: close instead of keeping the connection
    std::chrono::steady_clock::time_point busySince;  // start of the current wait for a lock
    // Guarded by Store::mu:
    bool taken = false;  // a transaction is running (from its first handle to its last close)
    int refs = 0;        // open handles and calls in flight of the running transaction
    std::thread::id owner;
    // Guarded by mu:
    bool inTxn = false;
    bool writeTxn = false;
    bool aborted = false;
    // Where the last enumeration stopped, so that walking index 0, 1, 2... costs one step each.
    // Any write and the end of the transaction forget it.
    struct Cursor {
        int kind = 0;  // 0 none, 1 subkeys, 2 values
        std::int64_t key = 0;
        DWORD index = 0;
        std::string fold;     // subkeys: the last name's folded form
        std::int64_t id = 0;  // values: the last value's row id
    } cursor;
    std::mutex mu;

    ~Session() {
        for (sqlite3_stmt*& s : stmt) {
            sqlite3_finalize(s);
            s = nullptr;
        }
        if (db) sqlite3_close_v2(db);
    }
};

struct KeyHandle {
    Session* session;
    std::int64_t id;
};

struct Store {
    std::mutex mu;
    pid_t pid = ::getpid();
    std::vector<std::unique_ptr<Session>> sessions;
    std::unordered_set<KeyHandle*> handles;

    Store();
    ~Store();
};

Store& store() {
    static Store s;
    return s;
}

// A fork while another thread holds the store's lock must not leave the child a lock that nobody
// will release: the lock is taken around fork and released on both sides.
Store* g_liveStore = nullptr;  // null before the store is made and after it is destroyed
Store* g_forkLocked = nullptr;

void before_fork() {
    g_forkLocked = g_liveStore;
    if (g_forkLocked) g_forkLocked->mu.lock();
}
void after_fork() {
    if (g_forkLocked) g_forkLocked->mu.unlock();
    g_forkLocked = nullptr;
}

Store::Store() {
    g_liveStore = this;
    ::pthread_atfork(before_fork, after_fork, after_fork);
}

Store::~Store() {
    std::lock_guard<std::mutex> lock(mu);
    g_liveStore = nullptr;
    for (KeyHandle* h : handles) delete h;
    handles.clear();
}

thread_local Session* t_current = nullptr;

// Connections and handles inherited over fork belong to the parent: a child never touches them
// (not even to close them). They stay reachable from here until the process ends, also after the
// store itself is destroyed at exit, so a leak checker does not report them.
struct Inherited {
    std::vector<Session*> sessions;
    std::vector<KeyHandle*> handles;
};
Inherited* g_inherited = nullptr;  // made at the first fork seen, never freed

// Called with Store::mu held at every entry: after a fork the parent's connections are left alone.
void check_fork(Store& g) {
    const pid_t pid = ::getpid();
    if (pid == g.pid) return;
    g.pid = pid;
    if (!g_inherited) g_inherited = new Inherited();
    for (auto& s : g.sessions) g_inherited->sessions.push_back(s.release());
    g.sessions.clear();
    for (KeyHandle* h : g.handles) g_inherited->handles.push_back(h);
    g.handles.clear();
    t_current = nullptr;
}

bool owns(const Store& g, const Session* s) {
    for (const auto& p : g.sessions)
        if (p.get() == s) return true;
    return false;
}

LSTATUS from_sqlite(int rc) {
    switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_DONE:
    case SQLITE_ROW: return ERROR_SUCCESS;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return ERROR_BUSY;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH: return ERROR_ACCESS_DENIED;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_FORMAT:
    case SQLITE_SCHEMA:
    case SQLITE_ERROR: return ERROR_BADDB;  // a missing table or column: not our layout
    case SQLITE_NOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case SQLITE_CONSTRAINT: return ERROR_KEY_DELETED;  // a parent key deleted under an open handle
    case SQLITE_TOOBIG: return ERROR_INVALID_PARAMETER;
    case SQLITE_CANTOPEN: return ERROR_CANTOPEN;
    default: return ERROR_CANTWRITE;
    }
}

LSTATUS exec(Session* s, const char* sql) {
    return from_sqlite(sqlite3_exec(s->db, sql, nullptr, nullptr, nullptr));
}

// Runs a one-row integer query; rc is SQLite's code.
int query_int(sqlite3* db, const char* sql, std::int64_t& out) {
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(st);
        if (rc == SQLITE_ROW) {
            out = sqlite3_column_int64(st, 0);
            rc = SQLITE_OK;
        } else if (rc == SQLITE_DONE) {
            rc = SQLITE_CORRUPT;
        }
    }
    sqlite3_finalize(st);
    return rc;
}

int quick_check(sqlite3* db) {
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &st, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(st);
        if (rc == SQLITE_ROW) {
            const unsigned char* t = sqlite3_column_text(st, 0);
            rc = (t && std::strcmp(reinterpret_cast<const char*>(t), "ok") == 0) ? SQLITE_OK : SQLITE_CORRUPT;
        }
    }
    sqlite3_finalize(st);
    return rc;
}

// What the file holds: our store (checked), an empty database that a write may set up, or
// something that must not be touched. rc is SQLite's code.
enum class Content { kStore, kEmpty, kForeign };
int examine_in_txn(sqlite3* db, bool check, Content& content) {
    std::int64_t appId = 0;
    int rc = query_int(db, "PRAGMA application_id", appId);
    if (rc != SQLITE_OK) return rc;
    if (appId == kAppId) {
        content = Content::kStore;
        return check ? quick_check(db) : SQLITE_OK;
    }
    std::int64_t tables = 0;
    rc = query_int(db, "SELECT count(*) FROM sqlite_schema", tables);
    if (rc != SQLITE_OK) return rc;
    content = (appId == 0 && tables == 0) ? Content::kEmpty : Content::kForeign;
    return SQLITE_OK;
}

int examine(sqlite3* db, bool check, Content& content) {
    // The id and the tables are read in one transaction, so from one state of the file: another
    // connection setting a new store up between two separate reads (id still 0, tables already
    // there) would make the store look foreign.
    if (sqlite3_get_autocommit(db) == 0) return examine_in_txn(db, check, content);
    int rc = sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return rc;
    rc = examine_in_txn(db, check, content);
    sqlite3_exec(db, rc == SQLITE_OK ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr);
    return rc;
}

std::string uri_escape(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out = "file:";
    for (unsigned char c : path) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || std::strchr("/-_.~", c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

LSTATUS from_errno(int e) {
    return (e == EACCES || e == EPERM || e == EROFS) ? ERROR_ACCESS_DENIED : ERROR_CANTOPEN;
}

// Creates the folders of path's parent, 0700 as for a user's configuration folder.
LSTATUS make_parent_dirs(const std::string& path) {
    for (std::size_t pos = path.find('/', 1); pos != std::string::npos; pos = path.find('/', pos + 1)) {
        const std::string dir = path.substr(0, pos);
        if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return from_errno(errno);
    }
    return ERROR_SUCCESS;
}

std::string store_path() {
    const char* r = std::getenv("GORV_REGISTRY");
    if (r && *r) return r;
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the base-directory rules say.
    const char* x = std::getenv("XDG_CONFIG_HOME");
    if (x && x[0] == '/') return std::string(x) + "/gorv/registry.db";
    const char* h = std::getenv("HOME");
    std::string home = (h && *h) ? h : "";
    if (home.empty()) {
        if (const passwd* pw = ::getpwuid(::getuid())) home = pw->pw_dir ? pw->pw_dir : "";
    }
    if (home.empty()) return "";
    return home + "/.config/gorv/registry.db";
}

// Waits for a lock held by another connection. SQLite's own timeout sleeps in steps of up to
// 100 ms, so a queue of writers idles long after the lock is free; short, growing naps keep the
// queue moving. Gives up (the call fails with ERROR_BUSY) after kBusyTimeoutMs.
int busy_wait(void* ctx, int count) {
    auto* start = static_cast<std::chrono::steady_clock::time_point*>(ctx);
    const auto now = std::chrono::steady_clock::now();
    if (count == 0) *start = now;
    if (now - *start > std::chrono::milliseconds(kBusyTimeoutMs)) return 0;
    ::usleep(static_cast<useconds_t>(std::min(50 + 50 * count, 2000)));
    return 1;
}

// True when the file is a rollback-journal database (another program's: a store is in WAL mode
// from its first page on) with a journal beside it: opening it would roll the journal back into
// the file. A new store's own set-up journal sits beside an empty file or a WAL-mode first page.
bool foreign_hot_journal(const std::string& path) {
    static const unsigned char kJournalMagic[8] = {0xd9, 0xd5, 0x05, 0xf9, 0x20, 0xa1, 0x63, 0xd7};
    unsigned char magic[8] = {};
    int fd = ::open((path + "-journal").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool journal = ::pread(fd, magic, sizeof magic, 0) == static_cast<ssize_t>(sizeof magic) &&
                         std::memcmp(magic, kJournalMagic, sizeof magic) == 0;
    ::close(fd);
    if (!journal) return false;
    unsigned char header[20] = {};
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const ssize_t got = ::pread(fd, header, sizeof header, 0);
    ::close(fd);
    return got == static_cast<ssize_t>(sizeof header) && !(header[18] == 2 && header[19] == 2);
}

// Checks what the file's first 100 bytes promise against its size, before SQLite reads it: a
// store cut short (a copy that stopped, a full disk) must fail, not read as a smaller database.
// With a write-ahead log beside it the file may lag the log, and only SQLite's checks apply.
bool plausible_size(const std::string& path, long long size) {
    struct stat wal;
    if (::stat((path + "-wal").c_str(), &wal) == 0 && wal.st_size > 0) return true;
    unsigned char h[100];
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return true;  // SQLite reports the error itself
    const ssize_t got = ::pread(fd, h, sizeof h, 0);
    ::close(fd);
    if (got != static_cast<ssize_t>(sizeof h) || std::memcmp(h, "SQLite format 3", 16) != 0) return false;
    auto be32 = [&h](int at) {
        return (std::uint32_t(h[at]) << 24) | (std::uint32_t(h[at + 1]) << 16) | (std::uint32_t(h[at + 2]) << 8) |
               h[at + 3];
    };
    const long long page = (h[16] << 8 | h[17]) == 1 ? 65536 : (h[16] << 8 | h[17]);
    if (page < 512 || (page & (page - 1)) != 0 || size % page != 0) return false;
    // The page count at offset 28 is valid when the change counter (24) matches offset 92.
    if (be32(24) == be32(92) && static_cast<long long>(be32(28)) * page != size) return false;
    return true;
}

// Opens a connection on an existing file (create = false) or a new one, and checks the file.
LSTATUS open_session(const std::string& path, bool create, std::unique_ptr<Session>& out) {
    auto s = std::make_unique<Session>();
    s->path = path;
    if (!create && foreign_hot_journal(path)) return ERROR_BADDB;
    if (create) {
        LSTATUS rc = make_parent_dirs(path);
        if (rc != ERROR_SUCCESS) return rc;
    }
    int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    int rc = sqlite3_open_v2(path.c_str(), &s->db, flags, nullptr);
    if (rc != SQLITE_OK) return create ? from_errno(errno) : from_sqlite(rc);
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return from_errno(errno);
    s->dev = st.st_dev;
    s->ino = st.st_ino;
    sqlite3_busy_handler(s->db, busy_wait, &s->busySince);
    s->readOnly = sqlite3_db_readonly(s->db, "main") == 1;

    if (st.st_size != 0 && !plausible_size(path, static_cast<long long>(st.st_size))) return ERROR_BADDB;
    Content content = Content::kEmpty;
    rc = st.st_size == 0 ? SQLITE_OK : examine(s->db, true, content);
    if ((rc & 0xFF) == SQLITE_READONLY || (rc & 0xFF) == SQLITE_CANTOPEN) {
        // A store in a read-only folder: its shared-memory index cannot be made there. Read the
        // file as it stands, unless a write-ahead log holds writes that only a writer can apply.
        struct stat wal;
        if (::stat((path + "-wal").c_str(), &wal) == 0 && wal.st_size > 0) return ERROR_ACCESS_DENIED;
        sqlite3_close_v2(s->db);
        s->db = nullptr;
        rc = sqlite3_open_v2((uri_escape(path) + "?immutable=1").c_str(), &s->db,
                             SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
        if (rc != SQLITE_OK) return from_sqlite(rc);
        s->readOnly = true;
        s->immutable = true;
        rc = examine(s->db, true, content);
    }
    if (rc != SQLITE_OK) return from_sqlite(rc) == ERROR_BUSY ? ERROR_BUSY : ERROR_BADDB;
    if (content == Content::kForeign) return ERROR_BADDB;
    s->schemaReady = content == Content::kStore;
    const char* const kSettings =
        "PRAGMA synchronous = NORMAL; PRAGMA foreign_keys = ON; PRAGMA journal_size_limit = 4194304";
    if (exec(s.get(), kSettings) != ERROR_SUCCESS) return ERROR_BADDB;
    out = std::move(s);
    return ERROR_SUCCESS;
}

LSTATUS prepare_statements(Session* s) {
    for (int i = 0; i < kStmtCount; ++i) {
        if (s->stmt[i]) continue;
        int rc = sqlite3_prepare_v3(s->db, kStmtText[i], -1, SQLITE_PREPARE_PERSISTENT, &s->stmt[i], nullptr);
        if (rc != SQLITE_OK) return from_sqlite(rc);
    }
    return ERROR_SUCCESS;
}

// Puts a new store in write-ahead-log mode before its first write, so that no rollback journal
// ever sits next to it. The mode changes outside a transaction, and several processes may race
// to set a new file up: the pragma reports the mode it got, and a busy file is tried again, for
// as long as a lock is waited for elsewhere (a count of tries would run out sooner on a loaded
// machine, while readers keep the file busy).
int set_wal(sqlite3* db) {
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start <= std::chrono::milliseconds(kBusyTimeoutMs)) {
        sqlite3_stmt* st = nullptr;
        int rc = sqlite3_prepare_v2(db, "PRAGMA journal_mode = WAL", -1, &st, nullptr);
        bool wal = false;
        if (rc == SQLITE_OK) {
            rc = sqlite3_step(st);
            if (rc == SQLITE_ROW) {
                const unsigned char* mode = sqlite3_column_text(st, 0);
                wal = mode && std::strcmp(reinterpret_cast<const char*>(mode), "wal") == 0;
                rc = SQLITE_OK;
            }
        }
        sqlite3_finalize(st);
        if (rc == SQLITE_OK && wal) return SQLITE_OK;
        if (rc != SQLITE_OK && (rc & 0xFF) != SQLITE_BUSY && (rc & 0xFF) != SQLITE_LOCKED) return rc;
        ::usleep(2000);
    }
    return SQLITE_BUSY;
}

// Starts the session's transaction; with forWrite it holds the write lock and sets up an empty
// file. Called with Session::mu held.
LSTATUS begin_txn(Session* s, bool forWrite) {
    if (forWrite && s->readOnly) return ERROR_ACCESS_DENIED;
    if (forWrite && !s->schemaReady) {
        int rc = set_wal(s->db);
        if (rc != SQLITE_OK) return from_sqlite(rc);
    }
    LSTATUS rc = exec(s, forWrite ? "BEGIN IMMEDIATE" : "BEGIN");
    if (rc != ERROR_SUCCESS) return rc;
    if (!s->schemaReady) {
        // Another process may have set the file up since it was opened.
        Content content = Content::kEmpty;
        int src = examine(s->db, false, content);
        if (src == SQLITE_OK && content == Content::kEmpty && forWrite) {
            src = sqlite3_exec(s->db, kSchema, nullptr, nullptr, nullptr);
            if (src == SQLITE_OK) content = Content::kStore;
        }
        if (src != SQLITE_OK || content == Content::kForeign) {
            exec(s, "ROLLBACK");
            if (content == Content::kForeign) s->broken = true;
            return src != SQLITE_OK ? from_sqlite(src) : ERROR_BADDB;
        }
        s->schemaReady = content == Content::kStore;
    }
    if (s->schemaReady) {
        rc = prepare_statements(s);
        if (rc != ERROR_SUCCESS) {
            exec(s, "ROLLBACK");
            s->broken = true;
            return ERROR_BADDB;
        }
    }
    s->inTxn = true;
    s->cursor.kind = 0;
    s->writeTxn = forWrite;
    s->aborted = false;
    return ERROR_SUCCESS;
}

// Takes a transaction for a call on a root key: joins the calling thread's running transaction,
// else starts one on a kept connection to the current store, else on a new connection.
// On success the session's refs count the caller.
LSTATUS enter_root(bool forWrite, Session*& out) {
    Store& g = store();
    {
        std::lock_guard<std::mutex> lock(g.mu);
        check_fork(g);
        Session* cur = t_current;
        if (cur && owns(g, cur) && cur->taken && cur->owner == std::this_thread::get_id()) {
            ++cur->refs;
            out = cur;
            return ERROR_SUCCESS;
        }
        t_current = nullptr;
    }
    const std::string path = store_path();
    if (path.empty()) return ERROR_CANTOPEN;
    struct stat st;
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) return from_errno(errno);
    if (!exists && !forWrite) return ERROR_FILE_NOT_FOUND;

    Session* s = nullptr;
    {
        std::lock_guard<std::mutex> lock(g.mu);
        for (auto it = g.sessions.begin(); it != g.sessions.end();) {
            Session* c = it->get();
            if (!c->taken && c->path == path) {
                if (exists && c->dev == st.st_dev && c->ino == st.st_ino && !c->broken) {
                    if (!s) {
                        s = c;
                        s->taken = true;
                    }
                } else {
                    it = g.sessions.erase(it);  // the file was replaced or removed
                    continue;
                }
            }
            ++it;
        }
    }
    if (!s) {
        std::unique_ptr<Session> fresh;
        LSTATUS rc = open_session(path, !exists, fresh);
        if (rc != ERROR_SUCCESS) return rc;
        s = fresh.get();
        s->taken = true;
        std::lock_guard<std::mutex> lock(g.mu);
        g.sessions.push_back(std::move(fresh));
    }
    LSTATUS rc;
    {
        std::lock_guard<std::mutex> lock(s->mu);
        rc = begin_txn(s, forWrite);
    }
    std::lock_guard<std::mutex> lock(g.mu);
    if (rc != ERROR_SUCCESS) {
        s->taken = false;
        if (s->broken || rc == ERROR_BADDB) {
            g.sessions.erase(std::find_if(g.sessions.begin(), g.sessions.end(),
                                          [s](const std::unique_ptr<Session>& p) { return p.get() == s; }));
        }
        return rc;
    }
    s->refs = 1;
    s->owner = std::this_thread::get_id();
    t_current = s;
    out = s;
    return ERROR_SUCCESS;
}

// Drops one reference; the last one ends the transaction (commit, or rollback when aborted) and
// returns the connection to the pool. The result is the commit's.
LSTATUS leave(Session* s) {
    Store& g = store();
    {
        std::lock_guard<std::mutex> lock(g.mu);
        if (!owns(g, s)) return ERROR_INVALID_HANDLE;
        if (--s->refs > 0) return ERROR_SUCCESS;
    }
    LSTATUS rc = ERROR_SUCCESS;
    {
        std::lock_guard<std::mutex> lock(s->mu);
        if (s->inTxn) {
            if (s->aborted) {
                exec(s, "ROLLBACK");
            } else {
                rc = exec(s, "COMMIT");
                if (rc != ERROR_SUCCESS) {
                    if (sqlite3_get_autocommit(s->db) == 0) exec(s, "ROLLBACK");
                    if (rc != ERROR_BUSY && rc != ERROR_ACCESS_DENIED) rc = ERROR_CANTWRITE;
                }
            }
            s->inTxn = false;
        }
    }
    std::lock_guard<std::mutex> lock(g.mu);
    s->taken = false;
    s->owner = std::thread::id();
    if (t_current == s) t_current = nullptr;
    auto it = std::find_if(g.sessions.begin(), g.sessions.end(),
                           [s](const std::unique_ptr<Session>& p) { return p.get() == s; });
    if (s->broken || s->immutable) {
        g.sessions.erase(it);
        return rc;
    }
    // Most recently used last; past the limit, the idle connection unused longest is closed.
    std::rotate(it, it + 1, g.sessions.end());
    std::size_t idle = 0;
    for (const auto& p : g.sessions) idle += p->taken ? 0 : 1;
    for (auto p = g.sessions.begin(); idle > kMaxIdleSessions && p != g.sessions.end();) {
        if (!(*p)->taken) {
            p = g.sessions.erase(p);
            --idle;
        } else {
            ++p;
        }
    }
    return rc;
}

std::int64_t root_id(HKEY h) {
    const std::intptr_t v = reinterpret_cast<std::intptr_t>(h);
    if (v == reinterpret_cast<std::intptr_t>(HKEY_CLASSES_ROOT)) return 1;
    if (v == reinterpret_cast<std::intptr_t>(HKEY_CURRENT_USER)) return 2;
    if (v == reinterpret_cast<std::intptr_t>(HKEY_LOCAL_MACHINE)) return 3;
    if (v == reinterpret_cast<std::intptr_t>(HKEY_USERS)) return 4;
    if (v == reinterpret_cast<std::intptr_t>(HKEY_CURRENT_CONFIG)) return 5;
    return 0;
}

// A call on a key: the session and key id of hKey, with a reference held until exit().
struct Call {
    Session* s = nullptr;
    std::int64_t id = 0;
    LSTATUS enter(HKEY hKey, bool forWrite) {
        if (std::int64_t r = root_id(hKey)) {
            id = r;
            return enter_root(forWrite, s);
        }
        Store& g = store();
        std::lock_guard<std::mutex> lock(g.mu);
        check_fork(g);
        KeyHandle* h = reinterpret_cast<KeyHandle*>(hKey);
        if (!h || g.handles.count(h) == 0) return ERROR_INVALID_HANDLE;
        s = h->session;
        id = h->id;
        ++s->refs;
        return ERROR_SUCCESS;
    }
    // Ends the call; a failed commit turns a successful call into a failure.
    LSTATUS exit(LSTATUS rc) {
        LSTATUS end = leave(s);
        return rc == ERROR_SUCCESS ? end : rc;
    }
};

// ---- statements (Session::mu held) -----------------------------------------------------------

void reset(sqlite3_stmt* st) {
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
}

LSTATUS check_usable(Session* s) {
    if (s->aborted) return ERROR_CANTWRITE;
    if (!s->inTxn) return ERROR_INVALID_HANDLE;
    return ERROR_SUCCESS;
}

LSTATUS step_done(Session* s, sqlite3_stmt* st) {
    s->cursor.kind = 0;
    int rc = sqlite3_step(st);
    reset(st);
    if (rc == SQLITE_DONE) return ERROR_SUCCESS;
    LSTATUS e = from_sqlite(rc);
    if (e == ERROR_BADDB) s->broken = true;
    return e;
}

// Looks up the child named by fold; id 0 when there is none.
LSTATUS find_child(Session* s, std::int64_t parent, const std::string& fold, std::int64_t& id) {
    id = 0;
    if (!s->schemaReady) return ERROR_SUCCESS;
    sqlite3_stmt* st = s->stmt[kFindKey];
    sqlite3_bind_int64(st, 1, parent);
    sqlite3_bind_text(st, 2, fold.data(), static_cast<int>(fold.size()), SQLITE_STATIC);
    int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) id = sqlite3_column_int64(st, 0);
    reset(st);
    if (rc == SQLITE_ROW || rc == SQLITE_DONE) return ERROR_SUCCESS;
    LSTATUS e = from_sqlite(rc);
    if (e == ERROR_BADDB) s->broken = true;
    return e;
}

// Walks (and with create, makes) the components of sub below key id. Empty components name the
// same key, as an empty subkey name does.
LSTATUS walk(Session* s, std::int64_t id, const wchar_t* sub, bool create, std::int64_t& out, bool& created) {
    created = false;
    std::string name, fold;
    const wchar_t* p = sub ? sub : L"";
    while (true) {
        const wchar_t* e = p;
        while (*e && *e != L'\\') ++e;
        if (e != p) {
            if (!encode_name(p, static_cast<std::size_t>(e - p), name, fold)) return ERROR_INVALID_PARAMETER;
            std::int64_t child = 0;
            LSTATUS rc = find_child(s, id, fold, child);
            if (rc != ERROR_SUCCESS) return rc;
            if (child == 0) {
                if (!create) return ERROR_FILE_NOT_FOUND;
                if (!s->schemaReady) return ERROR_CANTWRITE;
                sqlite3_stmt* st = s->stmt[kInsertKey];
                sqlite3_bind_int64(st, 1, id);
                sqlite3_bind_text(st, 2, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
                sqlite3_bind_text(st, 3, fold.data(), static_cast<int>(fold.size()), SQLITE_STATIC);
                rc = step_done(s, st);
                if (rc != ERROR_SUCCESS) return rc;
                child = sqlite3_last_insert_rowid(s->db);
                created = true;
            } else {
                created = false;
            }
            id = child;
        }
        if (*e == 0) break;
        p = e + 1;
    }
    out = id;
    return ERROR_SUCCESS;
}

LSTATUS copy_out(const void* data, DWORD size, BYTE* lpData, DWORD* lpcbData) {
    if (lpData) {
        if (!lpcbData) return ERROR_INVALID_PARAMETER;
        if (*lpcbData < size) {
            *lpcbData = size;
            return ERROR_MORE_DATA;
        }
        if (size) std::memcpy(lpData, data, size);
    }
    if (lpcbData) *lpcbData = size;
    return ERROR_SUCCESS;
}

LSTATUS copy_name(const unsigned char* text, int bytes, LPWSTR buf, DWORD* cch) {
    if (!buf || !cch) return ERROR_INVALID_PARAMETER;
    const std::wstring name = decode_utf8(text, static_cast<std::size_t>(bytes));
    if (*cch < name.size() + 1) {
        *cch = static_cast<DWORD>(name.size());
        return ERROR_MORE_DATA;
    }
    std::copy(name.begin(), name.end(), buf);
    buf[name.size()] = 0;
    *cch = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

HKEY new_handle(Session* s, std::int64_t id) {
    auto* h = new KeyHandle{s, id};
    Store& g = store();
    std::lock_guard<std::mutex> lock(g.mu);
    g.handles.insert(h);
    return reinterpret_cast<HKEY>(h);
}

LSTATUS open_or_create(HKEY hKey, LPCWSTR sub, bool create, PHKEY result, DWORD* disposition) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    Call c;
    LSTATUS rc = c.enter(hKey, create);
    if (rc != ERROR_SUCCESS) return rc;
    std::int64_t id = 0;
    bool created = false;
    {
        std::lock_guard<std::mutex> lock(c.s->mu);
        rc = check_usable(c.s);
        if (rc == ERROR_SUCCESS) rc = walk(c.s, c.id, sub, create, id, created);
    }
    if (rc != ERROR_SUCCESS) return c.exit(rc);
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = new_handle(c.s, id);  // keeps the call's reference until RegCloseKey
    return ERROR_SUCCESS;
}

// Runs body(session, key id) for a call on hKey inside the call's transaction, with Session::mu
// held and the session usable. The result is body's, or the commit's when body succeeded.
template <class Body>
LSTATUS on_key(HKEY hKey, bool forWrite, Body body) {
    Call c;
    LSTATUS rc = c.enter(hKey, forWrite);
    if (rc != ERROR_SUCCESS) return rc;
    {
        std::lock_guard<std::mutex> lock(c.s->mu);
        rc = check_usable(c.s);
        if (rc == ERROR_SUCCESS) rc = body(c.s, c.id);
    }
    return c.exit(rc);
}

// Steps to entry index of key's subkeys (values false: rows name, fold) or values (values true:
// rows name, type, data, id). The entry right after the one the cursor stands on is found from
// the cursor's position, any other by counting from the first. On a row, row(st) copies the
// entry out and the cursor moves there, whatever the copy returned. Session::mu held.
template <class Row>
LSTATUS enum_entry(Session* s, std::int64_t key, bool values, DWORD index, Row row) {
    Session::Cursor& cur = s->cursor;
    const int kind = values ? 2 : 1;
    const bool next = cur.kind == kind && cur.key == key && index == cur.index + 1;
    sqlite3_stmt* st = s->stmt[values ? (next ? kEnumValueAfter : kEnumValue) : (next ? kEnumKeyAfter : kEnumKey)];
    sqlite3_bind_int64(st, 1, key);
    if (!next) sqlite3_bind_int64(st, 2, index);
    else if (values) sqlite3_bind_int64(st, 2, cur.id);
    else sqlite3_bind_text(st, 2, cur.fold.data(), static_cast<int>(cur.fold.size()), SQLITE_TRANSIENT);
    LSTATUS rc;
    const int src = sqlite3_step(st);
    if (src == SQLITE_ROW) {
        rc = row(st);
        cur.kind = kind;
        cur.key = key;
        cur.index = index;
        if (values) {
            cur.id = sqlite3_column_int64(st, 3);
        } else {
            cur.fold.assign(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)),
                            static_cast<std::size_t>(sqlite3_column_bytes(st, 1)));
        }
    } else {
        rc = src == SQLITE_DONE ? ERROR_NO_MORE_ITEMS : from_sqlite(src);
    }
    reset(st);
    return rc;
}

}  // namespace

LSTATUS RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, REGSAM, PHKEY phkResult) {
    return open_or_create(hKey, lpSubKey, false, phkResult, nullptr);
}

LSTATUS RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, LPWSTR, DWORD, REGSAM, const void*, PHKEY phkResult,
                        DWORD* lpdwDisposition) {
    return open_or_create(hKey, lpSubKey, true, phkResult, lpdwDisposition);
}

LSTATUS RegCloseKey(HKEY hKey) {
    if (root_id(hKey)) return ERROR_SUCCESS;
    Store& g = store();
    Session* s = nullptr;
    {
        std::lock_guard<std::mutex> lock(g.mu);
        check_fork(g);
        KeyHandle* h = reinterpret_cast<KeyHandle*>(hKey);
        if (!h || g.handles.erase(h) == 0) return ERROR_INVALID_HANDLE;
        s = h->session;
        delete h;
    }
    return leave(s);
}

LSTATUS RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD* lpReserved, DWORD* lpType, BYTE* lpData,
                         DWORD* lpcbData) {
    if (lpReserved || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
    std::string name, fold;
    if (!encode_value_name(lpValueName, name, fold)) return ERROR_INVALID_PARAMETER;
    return on_key(hKey, false, [&](Session* s, std::int64_t id) -> LSTATUS {
        if (!s->schemaReady) return ERROR_FILE_NOT_FOUND;
        sqlite3_stmt* st = s->stmt[kGetValue];
        sqlite3_bind_int64(st, 1, id);
        sqlite3_bind_text(st, 2, fold.data(), static_cast<int>(fold.size()), SQLITE_STATIC);
        LSTATUS rc;
        const int src = sqlite3_step(st);
        if (src == SQLITE_ROW) {
            if (lpType) *lpType = static_cast<DWORD>(sqlite3_column_int64(st, 0));
            const void* data = sqlite3_column_blob(st, 1);
            const DWORD size = static_cast<DWORD>(sqlite3_column_bytes(st, 1));
            rc = copy_out(data, size, lpData, lpcbData);
        } else {
            rc = src == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : from_sqlite(src);
            if (rc == ERROR_BADDB) s->broken = true;
        }
        reset(st);
        return rc;
    });
}

LSTATUS RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData) {
    if (!lpData && cbData) return ERROR_INVALID_PARAMETER;
    std::string name, fold;
    if (!encode_value_name(lpValueName, name, fold)) return ERROR_INVALID_PARAMETER;
    if (cbData > 0x7FFFFFFFu) return ERROR_INVALID_PARAMETER;
    return on_key(hKey, true, [&](Session* s, std::int64_t id) -> LSTATUS {
        if (s->readOnly || !s->schemaReady) return ERROR_ACCESS_DENIED;
        static const BYTE kNone = 0;
        sqlite3_stmt* st = s->stmt[kSetValue];
        sqlite3_bind_int64(st, 1, id);
        sqlite3_bind_text(st, 2, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
        sqlite3_bind_text(st, 3, fold.data(), static_cast<int>(fold.size()), SQLITE_STATIC);
        sqlite3_bind_int64(st, 4, dwType);
        sqlite3_bind_blob(st, 5, lpData ? lpData : &kNone, static_cast<int>(cbData), SQLITE_STATIC);
        return step_done(s, st);
    });
}

LSTATUS RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName) {
    std::string name, fold;
    if (!encode_value_name(lpValueName, name, fold)) return ERROR_INVALID_PARAMETER;
    return on_key(hKey, true, [&](Session* s, std::int64_t id) -> LSTATUS {
        if (!s->schemaReady) return ERROR_FILE_NOT_FOUND;
        if (s->readOnly) return ERROR_ACCESS_DENIED;
        sqlite3_stmt* st = s->stmt[kDeleteValue];
        sqlite3_bind_int64(st, 1, id);
        sqlite3_bind_text(st, 2, fold.data(), static_cast<int>(fold.size()), SQLITE_STATIC);
        LSTATUS rc = step_done(s, st);
        if (rc == ERROR_SUCCESS && sqlite3_changes(s->db) == 0) rc = ERROR_FILE_NOT_FOUND;
        return rc;
    });
}

LSTATUS RegDeleteTreeW(HKEY hKey, LPCWSTR lpSubKey) {
    return on_key(hKey, true, [&](Session* s, std::int64_t key) -> LSTATUS {
        if (s->readOnly) return ERROR_ACCESS_DENIED;
        std::int64_t id = 0;
        bool created = false;
        LSTATUS rc = walk(s, key, lpSubKey, false, id, created);
        if (rc == ERROR_SUCCESS && s->schemaReady) {
            if (id == key) {
                sqlite3_bind_int64(s->stmt[kDeleteChildKeys], 1, id);
                rc = step_done(s, s->stmt[kDeleteChildKeys]);
                sqlite3_bind_int64(s->stmt[kDeleteValues], 1, id);
                if (rc == ERROR_SUCCESS) rc = step_done(s, s->stmt[kDeleteValues]);
            } else {
                sqlite3_bind_int64(s->stmt[kDeleteKey], 1, id);
                rc = step_done(s, s->stmt[kDeleteKey]);
            }
        }
        return rc;
    });
}

LSTATUS RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, DWORD* lpcchName, DWORD* lpReserved, LPWSTR lpClass,
                      DWORD* lpcchClass, void*) {
    if (lpReserved || !lpName || !lpcchName) return ERROR_INVALID_PARAMETER;
    if (lpClass && lpcchClass && *lpcchClass > 0) lpClass[0] = 0;
    if (lpcchClass) *lpcchClass = 0;
    return on_key(hKey, false, [&](Session* s, std::int64_t id) -> LSTATUS {
        if (!s->schemaReady) return ERROR_NO_MORE_ITEMS;
        return enum_entry(s, id, false, dwIndex, [&](sqlite3_stmt* st) -> LSTATUS {
            return copy_name(sqlite3_column_text(st, 0), sqlite3_column_bytes(st, 0), lpName, lpcchName);
        });
    });
}

LSTATUS RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, DWORD* lpcchValueName, DWORD* lpReserved,
                      DWORD* lpType, BYTE* lpData, DWORD* lpcbData) {
    if (lpReserved || !lpValueName || !lpcchValueName || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
    return on_key(hKey, false, [&](Session* s, std::int64_t id) -> LSTATUS {
        if (!s->schemaReady) return ERROR_NO_MORE_ITEMS;
        return enum_entry(s, id, true, dwIndex, [&](sqlite3_stmt* st) -> LSTATUS {
            LSTATUS rc =
                copy_name(sqlite3_column_text(st, 0), sqlite3_column_bytes(st, 0), lpValueName, lpcchValueName);
            if (rc == ERROR_SUCCESS) {
                if (lpType) *lpType = static_cast<DWORD>(sqlite3_column_int64(st, 1));
                const void* data = sqlite3_column_blob(st, 2);
                rc = copy_out(data, static_cast<DWORD>(sqlite3_column_bytes(st, 2)), lpData, lpcbData);
            }
            return rc;
        });
    });
}

LSTATUS GorvRegGetKeyPath(HKEY hKey, CString& path) {
    return on_key(hKey, false, [&](Session* s, std::int64_t key) -> LSTATUS {
        std::wstring result;
        LSTATUS rc = ERROR_SUCCESS;
        if (!s->schemaReady) {
            static const wchar_t* const kRoots[] = {L"HKEY_CLASSES_ROOT", L"HKEY_CURRENT_USER", L"HKEY_LOCAL_MACHINE",
                                                   L"HKEY_USERS", L"HKEY_CURRENT_CONFIG"};
            if (key >= 1 && key <= 5) result = kRoots[key - 1];
            else rc = ERROR_KEY_DELETED;
        }
        for (std::int64_t id = key; rc == ERROR_SUCCESS && s->schemaReady && id != 0;) {
            sqlite3_stmt* st = s->stmt[kKeyRow];
            sqlite3_bind_int64(st, 1, id);
            const int src = sqlite3_step(st);
            if (src == SQLITE_ROW) {
                const std::wstring name =
                    decode_utf8(sqlite3_column_text(st, 1), static_cast<std::size_t>(sqlite3_column_bytes(st, 1)));
                result = result.empty() ? name : name + L"\\" + result;
                id = sqlite3_column_int64(st, 0);  // NULL parent of a root reads as 0
            } else {
                rc = src == SQLITE_DONE ? ERROR_KEY_DELETED : from_sqlite(src);
            }
            reset(st);
        }
        if (rc == ERROR_SUCCESS) path = CString(result);
        return rc;
    });
}

LSTATUS GorvRegAbortTransaction(HKEY hKey) {
    if (root_id(hKey)) return ERROR_INVALID_HANDLE;
    Call c;
    LSTATUS rc = c.enter(hKey, false);
    if (rc != ERROR_SUCCESS) return rc;
    {
        std::lock_guard<std::mutex> lock(c.s->mu);
        c.s->aborted = true;
    }
    leave(c.s);
    return ERROR_SUCCESS;
}

CString GorvRegStorePath() {
    return CString::FromUtf8(store_path());
}
