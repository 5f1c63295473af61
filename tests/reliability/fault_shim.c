/* orvante-faults: a library preloaded into a program under test
 * (LD_PRELOAD) that makes chosen file operations fail as a full disk, a
 * folder the user may not write or an output device that has gone away
 * would make them fail. The program's own code runs unchanged; only the C
 * library calls it makes are answered with an error.
 *
 * ORVANTE_FAULTS holds rules separated by ';', each "OP:ERROR:PATTERN":
 *   OP       open    opening a file for writing (open, openat, creat)
 *            write   writing to a file (write, pwrite, writev)
 *            sync    fsync, fdatasync
 *            rename  renaming to or from the path
 *            fopen   opening a stream for writing (fopen with "w", "a", "+")
 *            fwrite  writing to a stream (fwrite, fputs)
 *   ERROR    ENOSPC, EACCES, EIO, EROFS, ENODEV, EPERM or EDQUOT
 *   PATTERN  a shell pattern of the whole path ('*' also matches '/')
 * ORVANTE_FAULTS_SWITCH names a file: the rules act only while it exists, so
 *   a test can let a session start normally and fail its files later.
 * ORVANTE_FAULTS_LOG names a file that gets one line per fault injected
 *   ("write ENOSPC /path"); without it the lines go to standard error.
 * ORVANTE_FAULTS_FAILING names a file that exists exactly while the rules act
 *   and have failed a call since they became active (a test can wait on it).
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <limits.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

enum { kMaxRules = 16, kPatternSize = 512 };
enum Op { kOpen, kWrite, kSync, kRename, kFopen, kFwrite, kOpCount };

static const char* const kOpNames[kOpCount] = {"open", "write", "sync", "rename", "fopen", "fwrite"};

struct Rule {
  enum Op op;
  int error;
  char pattern[kPatternSize];
};

static struct Rule g_rules[kMaxRules];
static int g_ruleCount = 0;
static int g_opsWithRules = 0; /* bit per op */
static const char* g_switch = NULL;
static const char* g_logPath = NULL;
static pthread_once_t g_once = PTHREAD_ONCE_INIT;
static __thread int t_inside = 0; /* the shim's own calls are never failed */

static int ErrorByName(const char* name, size_t length) {
  static const struct {
    const char* name;
    int value;
  } kErrors[] = {{"ENOSPC", ENOSPC}, {"EACCES", EACCES}, {"EIO", EIO},      {"EROFS", EROFS},
                 {"ENODEV", ENODEV}, {"EPERM", EPERM},   {"EDQUOT", EDQUOT}};
  for (size_t i = 0; i < sizeof kErrors / sizeof kErrors[0]; ++i)
    if (strlen(kErrors[i].name) == length && strncmp(kErrors[i].name, name, length) == 0) return kErrors[i].value;
  return 0;
}

static void Complain(const char* what, const char* text) {
  char line[700];
  int n = snprintf(line, sizeof line, "orvante-faults: %s: \"%s\" (rules are OP:ERROR:PATTERN)\n", what, text);
  if (n > 0) (void)!write(2, line, (size_t)n < sizeof line ? (size_t)n : sizeof line - 1);
}

static void ParseRules(void) {
  /* Complaints are written with write(), which must not come back here. */
  t_inside = 1;
  const char* text = getenv("ORVANTE_FAULTS");
  g_switch = getenv("ORVANTE_FAULTS_SWITCH");
  g_logPath = getenv("ORVANTE_FAULTS_LOG");
  if (text == NULL) {
    t_inside = 0;
    return;
  }
  const char* rule = text;
  while (*rule != '\0' && g_ruleCount < kMaxRules) {
    const char* end = strchr(rule, ';');
    size_t length = end ? (size_t)(end - rule) : strlen(rule);
    const char* colon1 = memchr(rule, ':', length);
    const char* colon2 = colon1 ? memchr(colon1 + 1, ':', length - (size_t)(colon1 + 1 - rule)) : NULL;
    if (length > 0 && colon1 && colon2) {
      struct Rule* r = &g_rules[g_ruleCount];
      int op = -1;
      for (int i = 0; i < kOpCount; ++i)
        if (strlen(kOpNames[i]) == (size_t)(colon1 - rule) && strncmp(kOpNames[i], rule, (size_t)(colon1 - rule)) == 0)
          op = i;
      int error = ErrorByName(colon1 + 1, (size_t)(colon2 - colon1 - 1));
      size_t patternLength = length - (size_t)(colon2 + 1 - rule);
      if (op >= 0 && error != 0 && patternLength > 0 && patternLength < kPatternSize) {
        r->op = (enum Op)op;
        r->error = error;
        memcpy(r->pattern, colon2 + 1, patternLength);
        r->pattern[patternLength] = '\0';
        g_opsWithRules |= 1 << op;
        ++g_ruleCount;
      } else {
        char copy[kPatternSize];
        snprintf(copy, sizeof copy, "%.*s", (int)length, rule);
        Complain("rule not understood, ignored", copy);
      }
    } else if (length > 0) {
      char copy[kPatternSize];
      snprintf(copy, sizeof copy, "%.*s", (int)length, rule);
      Complain("rule not understood, ignored", copy);
    }
    if (end == NULL) break;
    rule = end + 1;
  }
  t_inside = 0;
}

static void Init(void) { pthread_once(&g_once, ParseRules); }

static void Note(enum Op op, int error, const char* path) {
  char line[PATH_MAX + 64];
  int n = snprintf(line, sizeof line, "%s %s %s\n", kOpNames[op], strerrorname_np(error), path);
  if (n <= 0) return;
  if ((size_t)n >= sizeof line) n = sizeof line - 1;
  if (g_logPath != NULL) {
    int fd = open(g_logPath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd >= 0) {
      (void)!write(fd, line, (size_t)n);
      close(fd);
    }
  } else {
    (void)!write(2, "orvante-faults: ", 16);
    (void)!write(2, line, (size_t)n);
  }
}

/* The error to answer op on path with, or 0 to let the call through. */
static int FaultFor(enum Op op, const char* path) {
  if (t_inside) return 0;
  Init();
  if (path == NULL || (g_opsWithRules & (1 << op)) == 0) return 0;
  t_inside = 1;
  int error = 0;
  struct stat st;
  if (g_switch == NULL || stat(g_switch, &st) == 0) {
    for (int i = 0; i < g_ruleCount && error == 0; ++i)
      if (g_rules[i].op == op && fnmatch(g_rules[i].pattern, path, 0) == 0) error = g_rules[i].error;
    if (error != 0) Note(op, error, path);
  }
  t_inside = 0;
  return error;
}

/* The path an open descriptor names ("... (deleted)" stripped), or NULL. */
static const char* PathOfDescriptor(int fd, char* buffer, size_t size) {
  char link[64];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  ssize_t n = readlink(link, buffer, size - 1);
  if (n <= 0) return NULL;
  buffer[n] = '\0';
  const char* deleted = " (deleted)";
  size_t tail = strlen(deleted);
  if ((size_t)n > tail && strcmp(buffer + n - tail, deleted) == 0) buffer[n - tail] = '\0';
  return buffer;
}

static int FaultForDescriptor(enum Op op, int fd) {
  if (t_inside) return 0;
  Init();
  if ((g_opsWithRules & (1 << op)) == 0) return 0;
  char path[PATH_MAX];
  t_inside = 1;
  const char* found = PathOfDescriptor(fd, path, sizeof path);
  t_inside = 0;
  return found ? FaultFor(op, found) : 0;
}

/* An absolute form of a path given relative to a directory descriptor. */
static const char* AbsolutePath(int dirfd, const char* path, char* buffer, size_t size) {
  if (path == NULL || path[0] == '/') return path;
  char base[PATH_MAX];
  const char* dir = NULL;
  t_inside = 1;
  if (dirfd == AT_FDCWD) dir = getcwd(base, sizeof base);
  else dir = PathOfDescriptor(dirfd, base, sizeof base);
  t_inside = 0;
  if (dir == NULL) return path;
  snprintf(buffer, size, "%s/%s", dir, path);
  return buffer;
}

static int WritingFlags(int flags) { return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC | O_APPEND)) != 0; }

#define NEXT(name)                             \
  static __typeof__(name)* next_##name = NULL; \
  if (next_##name == NULL) next_##name = (__typeof__(name)*)dlsym(RTLD_NEXT, #name)

static int OpenFault(int dirfd, const char* path, int flags) {
  if (!WritingFlags(flags)) return 0;
  char absolute[PATH_MAX];
  return FaultFor(kOpen, AbsolutePath(dirfd, path, absolute, sizeof absolute));
}

int open(const char* path, int flags, ...) {
  NEXT(open);
  mode_t mode = 0;
  if (flags & (O_CREAT | O_TMPFILE)) {
    va_list args;
    va_start(args, flags);
    mode = va_arg(args, mode_t);
    va_end(args);
  }
  int error = OpenFault(AT_FDCWD, path, flags);
  if (error) return errno = error, -1;
  return next_open(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
  NEXT(open64);
  mode_t mode = 0;
  if (flags & (O_CREAT | O_TMPFILE)) {
    va_list args;
    va_start(args, flags);
    mode = va_arg(args, mode_t);
    va_end(args);
  }
  int error = OpenFault(AT_FDCWD, path, flags);
  if (error) return errno = error, -1;
  return next_open64(path, flags, mode);
}

int openat(int dirfd, const char* path, int flags, ...) {
  NEXT(openat);
  mode_t mode = 0;
  if (flags & (O_CREAT | O_TMPFILE)) {
    va_list args;
    va_start(args, flags);
    mode = va_arg(args, mode_t);
    va_end(args);
  }
  int error = OpenFault(dirfd, path, flags);
  if (error) return errno = error, -1;
  return next_openat(dirfd, path, flags, mode);
}

int creat(const char* path, mode_t mode) {
  NEXT(creat);
  int error = OpenFault(AT_FDCWD, path, O_CREAT | O_WRONLY | O_TRUNC);
  if (error) return errno = error, -1;
  return next_creat(path, mode);
}

ssize_t write(int fd, const void* data, size_t size) {
  NEXT(write);
  int error = FaultForDescriptor(kWrite, fd);
  if (error) return errno = error, -1;
  return next_write(fd, data, size);
}

ssize_t pwrite(int fd, const void* data, size_t size, off_t offset) {
  NEXT(pwrite);
  int error = FaultForDescriptor(kWrite, fd);
  if (error) return errno = error, -1;
  return next_pwrite(fd, data, size, offset);
}

ssize_t writev(int fd, const struct iovec* parts, int count) {
  NEXT(writev);
  int error = FaultForDescriptor(kWrite, fd);
  if (error) return errno = error, -1;
  return next_writev(fd, parts, count);
}

int fsync(int fd) {
  NEXT(fsync);
  int error = FaultForDescriptor(kSync, fd);
  if (error) return errno = error, -1;
  return next_fsync(fd);
}

int fdatasync(int fd) {
  NEXT(fdatasync);
  int error = FaultForDescriptor(kSync, fd);
  if (error) return errno = error, -1;
  return next_fdatasync(fd);
}

int rename(const char* from, const char* to) {
  NEXT(rename);
  char a[PATH_MAX], b[PATH_MAX];
  int error = FaultFor(kRename, AbsolutePath(AT_FDCWD, from, a, sizeof a));
  if (!error) error = FaultFor(kRename, AbsolutePath(AT_FDCWD, to, b, sizeof b));
  if (error) return errno = error, -1;
  return next_rename(from, to);
}

/* Not given the C library's nonnull promise: a null stream is let through. */
static int FaultForStream(FILE* stream) { return stream ? FaultForDescriptor(kFwrite, fileno(stream)) : 0; }

static int StreamModeWrites(const char* mode) { return mode && (strpbrk(mode, "wa+") != NULL); }

FILE* fopen(const char* path, const char* mode) {
  NEXT(fopen);
  char absolute[PATH_MAX];
  int error = StreamModeWrites(mode) ? FaultFor(kFopen, AbsolutePath(AT_FDCWD, path, absolute, sizeof absolute)) : 0;
  if (error) return errno = error, (FILE*)NULL;
  return next_fopen(path, mode);
}

FILE* fopen64(const char* path, const char* mode) {
  NEXT(fopen64);
  char absolute[PATH_MAX];
  int error = StreamModeWrites(mode) ? FaultFor(kFopen, AbsolutePath(AT_FDCWD, path, absolute, sizeof absolute)) : 0;
  if (error) return errno = error, (FILE*)NULL;
  return next_fopen64(path, mode);
}

size_t fwrite(const void* data, size_t size, size_t count, FILE* stream) {
  NEXT(fwrite);
  int error = FaultForStream(stream);
  if (error) return errno = error, (size_t)0;
  return next_fwrite(data, size, count, stream);
}

int fputs(const char* text, FILE* stream) {
  NEXT(fputs);
  int error = FaultForStream(stream);
  if (error) return errno = error, EOF;
  return next_fputs(text, stream);
}
