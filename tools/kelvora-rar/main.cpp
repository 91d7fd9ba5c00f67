// kelvora-rar: creates RAR 2.0 archives with our encoder, and lists, tests and
// extracts entries with our reader. Exit codes: 0 success, 1 failure, 2 wrong usage.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "archive/rar_reader.h"
#include "archive_list.h"
#include "rar_writer.h"

namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

const char* const kMainHelp =
    "usage: kelvora-rar COMMAND [OPTIONS] ARCHIVE ...\n"
    "RAR 2.0 archive tool.\n"
    "\n"
    "commands:\n"
    "  a [-s] [-m0|-m5] [-p PASSWORD] ARCHIVE FILE...   create ARCHIVE from the files\n"
    "  l ARCHIVE                                        list the entries\n"
    "  t [-p PASSWORD] ARCHIVE                          test every entry\n"
    "  x [-f] [-p PASSWORD] ARCHIVE NAME [OUTFILE]      extract one entry\n"
    "\n"
    "'kelvora-rar COMMAND --help' describes one command.\n"
    "exit status: 0 success, 1 failure, 2 wrong usage.\n";

const char* const kAddHelp =
    "usage: kelvora-rar a [-s] [-m0|-m5] [-p PASSWORD] ARCHIVE FILE...\n"
    "Creates ARCHIVE (replacing it) with one entry per FILE, named by the file's base\n"
    "name. Every entry is checked by extracting it before the archive is written.\n"
    "  -s           solid archive: each entry continues the previous one's state\n"
    "  -m0          store the entries as they are\n"
    "  -m5          compress the entries (default)\n"
    "  -p PASSWORD  encipher the entries (at most 255 bytes)\n"
    "Each FILE must be a regular file of at most 256 MiB. An existing ARCHIVE that\n"
    "is not a regular file (a folder, FIFO, device or link) is left alone.\n";

const char* const kListHelp =
    "usage: kelvora-rar l ARCHIVE\n"
    "Lists each entry: name, unpacked and packed size, method, unpack version, CRC-32.\n"
    "A '*' before the name marks an enciphered entry. Control characters and NUL\n"
    "bytes in a name are shown escaped (\\xHH).\n";

const char* const kTestHelp =
    "usage: kelvora-rar t [-p PASSWORD] ARCHIVE\n"
    "Decodes every entry once, in archive order, and checks its size and CRC-32;\n"
    "exit 1 if any entry fails. Nothing is written.\n";

const char* const kExtractHelp =
    "usage: kelvora-rar x [-f] [-p PASSWORD] ARCHIVE NAME [OUTFILE]\n"
    "Extracts the entry NAME (letter case and the separators '/', '\\' and '_' do not\n"
    "matter) to OUTFILE, by default the entry's base name in the current directory\n"
    "(an entry whose name holds a control character or NUL needs OUTFILE). The bytes\n"
    "go to a new temporary file beside OUTFILE, renamed into place once checked.\n"
    "An existing OUTFILE is never replaced without -f, and never when it is not a\n"
    "regular file (a folder, FIFO, device or link).\n"
    "  -f, --overwrite  replace OUTFILE when it exists as a regular file\n";

int usage_error(const char* help, const std::string& message) {
    std::fprintf(stderr, "kelvora-rar: %s\n%s", message.c_str(), help);
    return kUsage;
}

// One line on stderr, exit code 1.
int failed(const std::string& message) {
    std::fprintf(stderr, "kelvora-rar: %s\n", message.c_str());
    return kFailed;
}

// A name as it is safe to print: control characters, DEL and NUL as \xHH, so a
// CR, an escape sequence or a NUL can neither hide nor fake part of a name.
std::string shown(const std::string& name) {
    std::string out;
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F) {
            char buf[5];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += char(c);
        }
    }
    return out;
}

bool has_control(const std::string& name) {
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7F) return true;
    return false;
}

// The largest file `a` takes: the most the reader unpacks into memory, which the
// writer's check of every entry does.
constexpr uint64_t kMaxInputBytes = uint64_t(1) << 28;

// Reads a whole regular file of at most kMaxInputBytes, opened without blocking
// and sized with fstat before anything is read.
bool read_file(const std::string& path, std::vector<uint8_t>& out, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error = "cannot open " + shown(path) + ": " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = shown(path) + (S_ISDIR(st.st_mode) ? " is a folder" : " is not a regular file");
        ::close(fd);
        return false;
    }
    if (uint64_t(st.st_size) > kMaxInputBytes) {
        error = shown(path) + " is larger than 256 MiB, the most an entry may hold here";
        ::close(fd);
        return false;
    }
    out.resize(size_t(st.st_size));
    size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = ::read(fd, out.data() + done, out.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = "cannot read " + shown(path) + ": " + std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (n == 0) break;  // the file shrank: what is there
        done += size_t(n);
    }
    out.resize(done);
    ::close(fd);
    return true;
}

std::string base_name(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string method_name(uint8_t method) {
    if (method == rarw::kMethodStored) return "stored";
    if (method >= 0x31 && method <= 0x35) return std::string("m") + static_cast<char>(method);
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", method);
    return buf;
}

struct Args {
    std::vector<std::string> positional;
    bool solid = false;
    int method = 5;
    bool has_password = false;
    std::string password;
    bool overwrite = false;
    bool help = false;
};

// Parses options valid for the command (letters in `allowed`: s, m, p, f); the
// rest are positional. Returns an error message, or empty.
std::string parse_args(int argc, char** argv, const std::string& allowed, Args& a) {
    bool options_done = false;
    for (int i = 2; i < argc; ++i) {
        const std::string s = argv[i];
        if (!options_done && (s == "--help" || s == "-h")) {
            a.help = true;
        } else if (!options_done && s == "--") {
            options_done = true;
        } else if (!options_done && s.size() > 1 && s[0] == '-') {
            if (s == "-s" && allowed.find('s') != std::string::npos) {
                a.solid = true;
            } else if ((s == "-m0" || s == "-m5") && allowed.find('m') != std::string::npos) {
                a.method = s[2] - '0';
            } else if ((s == "-f" || s == "--overwrite") && allowed.find('f') != std::string::npos) {
                a.overwrite = true;
            } else if (s == "-p" && allowed.find('p') != std::string::npos) {
                if (i + 1 >= argc) return "-p needs a password";
                a.has_password = true;
                a.password = argv[++i];
            } else {
                return "unknown option " + s;
            }
        } else {
            a.positional.push_back(s);
        }
    }
    return {};
}

// A password the cipher cannot take is a failure of its own, not a usage slip.
bool password_too_long(const Args& a) { return a.has_password && a.password.size() > MAX_PASSWORD_BYTES; }
const char* const kLongPassword = "the password is longer than 255 bytes, the most the archive format takes";

// An existing path that is not a regular file (lstat: a link counts as one).
bool exists_not_regular(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

int command_add(int argc, char** argv) {
    Args a;
    const std::string err = parse_args(argc, argv, "smp", a);
    if (a.help) return std::fputs(kAddHelp, stdout), kOk;
    if (!err.empty()) return usage_error(kAddHelp, err);
    if (a.positional.size() < 2) return usage_error(kAddHelp, "give an archive and at least one file");
    if (a.has_password && a.password.empty()) return usage_error(kAddHelp, "the password is empty");
    if (password_too_long(a)) return failed(kLongPassword);
    if (exists_not_regular(a.positional[0]))
        return failed(shown(a.positional[0]) + " exists and is not a regular file; not replaced");

    std::vector<rarw::ArchiveEntry> entries;
    for (size_t i = 1; i < a.positional.size(); ++i) {
        rarw::ArchiveEntry e;
        e.name = base_name(a.positional[i]);
        std::string error;
        if (!read_file(a.positional[i], e.data, error)) return failed(error);
        entries.push_back(std::move(e));
    }
    rarw::ArchiveOptions options;
    options.solid = a.solid;
    options.compress = a.method == 5;
    options.password = a.password;
    const rarw::ArchiveResult r = rarw::build_archive(entries, options);
    if (!r.ok) return failed(r.error + "; " + shown(a.positional[0]) + " not written");
    std::string error;
    if (!rarw::write_file_atomically(a.positional[0], r.bytes, error)) return failed(error);
    for (const rarw::EntryReport& e : r.entries) {
        std::string detail;
        if (e.method != rarw::kMethodStored)
            detail = "  (" + std::to_string(e.lz_blocks) + " LZ, " + std::to_string(e.audio_blocks) + " audio blocks)";
        if (!e.note.empty()) detail += "  (" + e.note + ")";
        std::printf("added %-24s %10u -> %10u  %s%s\n", shown(e.name).c_str(), e.unpacked, e.packed,
                    method_name(e.method).c_str(), detail.c_str());
    }
    std::printf("%s: %zu %s, %zu bytes\n", shown(a.positional[0]).c_str(), r.entries.size(),
                r.entries.size() == 1 ? "entry" : "entries", r.bytes.size());
    return kOk;
}

// Opens the archive for a walk; a one-line failure when it cannot be walked.
bool open_walk(const std::string& path, const Args& a) {
    if (walk_open_file(path.c_str(), UINT64_MAX, a.has_password ? a.password.c_str() : nullptr)) return true;
    std::fprintf(stderr, "kelvora-rar: %s: %s\n", shown(path).c_str(), read_failure_text());
    return false;
}

// Why an entry failed its test or extraction, in plain words.
std::string why_entry_failed(const WalkEntry& e, const Args& a) {
    const std::string name = "entry \"" + shown(std::string(e.name, e.name_size)) + "\"";
    const ReadFailure f = read_failure();
    if (f == ReadFailure::unknown_method)
        return name + " uses an unsupported method (unpack version " + std::to_string(e.version) + ")";
    if (f == ReadFailure::data_check) {
        if (e.enciphered() && !a.has_password) return name + " is enciphered: give its password with -p";
        if (e.enciphered() && e.version < 20) return name + " uses the old cipher, which is not supported";
        if (e.enciphered()) return name + " failed its data check: wrong password or damaged data";
        return name + " failed its data check: the archive is damaged";
    }
    return name + ": " + read_failure_text();
}

int command_list(int argc, char** argv) {
    Args a;
    const std::string err = parse_args(argc, argv, "", a);
    if (a.help) return std::fputs(kListHelp, stdout), kOk;
    if (!err.empty()) return usage_error(kListHelp, err);
    if (a.positional.size() != 1) return usage_error(kListHelp, "give exactly one archive");
    const std::string& path = a.positional[0];
    if (!open_walk(path, a)) return kFailed;
    walk_headers_only();
    std::printf("%s archive %s\n", walk_solid() ? "solid" : "plain", shown(path).c_str());
    std::printf(" %-28s %10s %10s  %-6s %3s  %-8s\n", "Name", "Unpacked", "Packed", "Method", "Ver", "CRC32");
    WalkEntry e;
    int r;
    while ((r = walk_next(&e)) > 0) {
        std::printf("%c%-28s %10u %10u  %-6s %3u  %08X%s\n", e.enciphered() ? '*' : ' ',
                    shown(std::string(e.name, e.name_size)).c_str(), e.unpacked, e.packed,
                    method_name(e.method).c_str(), e.version, e.crc, e.header_crc_ok ? "" : "  (header CRC wrong)");
    }
    walk_close();
    if (r < 0) return failed(shown(path) + ": " + read_failure_text());
    return kOk;
}

int command_test(int argc, char** argv) {
    Args a;
    const std::string err = parse_args(argc, argv, "p", a);
    if (a.help) return std::fputs(kTestHelp, stdout), kOk;
    if (!err.empty()) return usage_error(kTestHelp, err);
    if (a.positional.size() != 1) return usage_error(kTestHelp, "give exactly one archive");
    if (password_too_long(a)) return failed(kLongPassword);
    const std::string& path = a.positional[0];
    if (!open_walk(path, a)) return kFailed;
    size_t count = 0, bad = 0;
    WalkEntry e;
    int r;
    while ((r = walk_next(&e)) > 0) {
        ++count;
        const std::string name = shown(std::string(e.name, e.name_size));
        if (walk_unpack(nullptr, nullptr)) {
            std::printf("%-28s OK\n", name.c_str());
        } else {
            ++bad;
            std::printf("%-28s FAILED: %s\n", name.c_str(), why_entry_failed(e, a).c_str());
        }
    }
    const std::string stopped = r < 0 ? read_failure_text() : "";
    walk_close();
    if (r < 0) return failed(shown(path) + ": " + stopped);
    if (bad) {
        std::printf("%zu of %zu %s failed\n", bad, count, count == 1 ? "entry" : "entries");
        return kFailed;
    }
    if (count == 1)
        std::printf("1 entry OK\n");
    else
        std::printf("all %zu entries OK\n", count);
    return kOk;
}

// The output of `x`: a temporary file made beside the target with O_EXCL, filled,
// then renamed into place. It never follows a link it did not make, never opens
// the target itself, and removes itself unless committed.
class Output {
public:
    explicit Output(std::string target) : target_(std::move(target)) {}
    ~Output() {
        if (fd_ >= 0) ::close(fd_);
        if (!temp_.empty()) ::unlink(temp_.c_str());
    }

    bool open(std::string& error) {
        const size_t slash = target_.find_last_of('/');
        const std::string dir = slash == std::string::npos ? "" : target_.substr(0, slash + 1);
        std::string tmpl = dir + ".kelvora-rar-XXXXXX";
        std::vector<char> name(tmpl.begin(), tmpl.end());
        name.push_back('\0');
        fd_ = ::mkstemp(name.data());
        if (fd_ < 0) {
            error = "cannot create a temporary file beside " + shown(target_) + ": " + std::strerror(errno);
            return false;
        }
        temp_ = name.data();
        return true;
    }

    static bool sink(void* self, const uint8_t* bytes, size_t count) {
        Output& o = *static_cast<Output*>(self);
        while (count > 0) {
            const ssize_t n = ::write(o.fd_, bytes, count);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                o.write_errno_ = n < 0 ? errno : ENOSPC;
                return false;
            }
            bytes += n;
            count -= size_t(n);
        }
        return true;
    }

    int write_errno() const { return write_errno_; }

    // Moves the finished file into place: over a regular file only when overwrite
    // is given, else only where nothing exists yet.
    bool commit(bool overwrite, std::string& error) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd_, 0666 & ~mask);  // the usual permissions (mkstemp makes them private)
        const int closed = ::close(fd_);
        fd_ = -1;
        if (closed != 0) {
            error = "cannot write " + shown(target_) + ": " + std::strerror(errno);
            return false;
        }
        if (exists_not_regular(target_)) {
            error = shown(target_) + " exists and is not a regular file; not replaced";
            return false;
        }
        if (overwrite) {
            if (::rename(temp_.c_str(), target_.c_str()) != 0) {
                error = "cannot rename the temporary file to " + shown(target_) + ": " + std::strerror(errno);
                return false;
            }
        } else if (::renameat2(AT_FDCWD, temp_.c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE) != 0) {
            // Filesystems without the no-replace rename: a hard link fails the same
            // way when the name exists.
            const int e = errno;
            if ((e != EINVAL && e != ENOSYS) || ::link(temp_.c_str(), target_.c_str()) != 0) {
                const int why = (e == EINVAL || e == ENOSYS) ? errno : e;
                error = why == EEXIST ? shown(target_) + " exists; give -f to replace it"
                                      : "cannot create " + shown(target_) + ": " + std::strerror(why);
                return false;
            }
            ::unlink(temp_.c_str());
        }
        temp_.clear();
        return true;
    }

private:
    std::string target_;
    std::string temp_;
    int fd_ = -1;
    int write_errno_ = 0;
};

int command_extract(int argc, char** argv) {
    Args a;
    const std::string err = parse_args(argc, argv, "pf", a);
    if (a.help) return std::fputs(kExtractHelp, stdout), kOk;
    if (!err.empty()) return usage_error(kExtractHelp, err);
    if (a.positional.size() < 2 || a.positional.size() > 3)
        return usage_error(kExtractHelp, "give an archive, an entry name and optionally an output file");
    if (password_too_long(a)) return failed(kLongPassword);
    const std::string& archive = a.positional[0];
    const std::string& name = a.positional[1];
    if (!open_walk(archive, a)) return kFailed;
    WalkEntry e;
    int r;
    while ((r = walk_next(&e)) > 0 && !walk_entry_is(e, name.c_str())) {
    }
    if (r <= 0) {
        const std::string why = r < 0 ? std::string(read_failure_text())
                                      : "no entry named \"" + shown(name) + "\" in the archive";
        walk_close();
        return failed("cannot extract \"" + shown(name) + "\": " + why);
    }
    const std::string stored(e.name, e.name_size);
    std::string out = a.positional.size() == 3 ? a.positional[2] : std::string();
    if (out.empty()) {
        // The entry's stored name, without any folder part, in the current directory.
        if (has_control(stored)) {
            walk_close();
            return failed("entry \"" + shown(stored) + "\" has a control character or NUL in its name; give OUTFILE");
        }
        std::string plain = stored;
        for (char& c : plain)
            if (c == '\\') c = '/';
        out = base_name(plain);
        if (out.empty() || out == "." || out == "..") {
            walk_close();
            return failed("entry \"" + shown(stored) + "\" has no usable file name; give OUTFILE");
        }
    }
    struct stat st {};
    if (::lstat(out.c_str(), &st) == 0 && (!S_ISREG(st.st_mode) || !a.overwrite)) {
        walk_close();
        if (!S_ISREG(st.st_mode)) return failed(shown(out) + " exists and is not a regular file; not replaced");
        return failed(shown(out) + " exists; give -f to replace it");
    }
    Output output(out);
    std::string error;
    if (!output.open(error)) {
        walk_close();
        return failed(error);
    }
    if (!walk_unpack(&Output::sink, &output)) {
        std::string why = read_failure() == ReadFailure::output_failed
                              ? "cannot write " + shown(out) + ": " + std::strerror(output.write_errno())
                              : why_entry_failed(e, a);
        walk_close();
        return failed("cannot extract \"" + shown(name) + "\": " + why);
    }
    walk_close();
    if (!output.commit(a.overwrite, error)) return failed(error);
    std::printf("extracted %s (%u bytes) to %s\n", shown(stored).c_str(), e.unpacked, shown(out).c_str());
    return kOk;
}

int run(int argc, char** argv) {
    if (argc < 2) return usage_error(kMainHelp, "no command given");
    const std::string cmd = argv[1];
    if (cmd == "--help" || cmd == "-h" || cmd == "help") return std::fputs(kMainHelp, stdout), kOk;
    if (cmd == "a") return command_add(argc, argv);
    if (cmd == "l") return command_list(argc, argv);
    if (cmd == "t") return command_test(argc, argv);
    if (cmd == "x") return command_extract(argc, argv);
    return usage_error(kMainHelp, "unknown command " + cmd);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        return failed("out of memory");
    } catch (const std::exception& e) {
        return failed(e.what());
    }
}
