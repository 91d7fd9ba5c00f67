// kelvora-rar: creates RAR 2.0 archives with our encoder, and lists, tests and
// extracts entries with our reader. Exit codes: 0 success, 1 failure, 2 wrong usage.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
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
    "  x [-p PASSWORD] ARCHIVE NAME [OUTFILE]           extract one entry\n"
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
    "  -p PASSWORD  encipher the entries\n";

const char* const kListHelp =
    "usage: kelvora-rar l ARCHIVE\n"
    "Lists each entry: name, unpacked and packed size, method, unpack version, CRC-32.\n"
    "A '*' before the name marks an enciphered entry.\n";

const char* const kTestHelp =
    "usage: kelvora-rar t [-p PASSWORD] ARCHIVE\n"
    "Extracts every entry in memory and checks it; exit 1 if any entry fails.\n";

const char* const kExtractHelp =
    "usage: kelvora-rar x [-p PASSWORD] ARCHIVE NAME [OUTFILE]\n"
    "Extracts the entry NAME (letter case and the separators '/', '\\' and '_' do not\n"
    "matter) to OUTFILE, by default the entry's own name in the current directory.\n";

int usage_error(const char* help, const std::string& message) {
    std::fprintf(stderr, "kelvora-rar: %s\n%s", message.c_str(), help);
    return kUsage;
}

bool read_file(const std::string& path, std::vector<uint8_t>& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = "cannot read " + path;
        return false;
    }
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
    bool help = false;
};

// Parses options valid for the command (letters in `allowed`: s, m, p); the rest
// are positional. Returns an error message, or empty.
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

int command_add(int argc, char** argv) {
    Args a;
    const std::string err = parse_args(argc, argv, "smp", a);
    if (a.help) return std::fputs(kAddHelp, stdout), kOk;
    if (!err.empty()) return usage_error(kAddHelp, err);
    if (a.positional.size() < 2) return usage_error(kAddHelp, "give an archive and at least one file");
    if (a.has_password && a.password.empty()) return usage_error(kAddHelp, "the password is empty");

    std::vector<rarw::ArchiveEntry> entries;
    for (size_t i = 1; i < a.positional.size(); ++i) {
        rarw::ArchiveEntry e;
        e.name = base_name(a.positional[i]);
        std::string error;
        if (!read_file(a.positional[i], e.data, error)) {
            std::fprintf(stderr, "kelvora-rar: %s\n", error.c_str());
            return kFailed;
        }
        entries.push_back(std::move(e));
    }
    rarw::ArchiveOptions options;
    options.solid = a.solid;
    options.compress = a.method == 5;
    options.password = a.password;
    const rarw::ArchiveResult r = rarw::build_archive(entries, options);
    if (!r.ok) {
        std::fprintf(stderr, "kelvora-rar: %s; %s not written\n", r.error.c_str(), a.positional[0].c_str());
        return kFailed;
    }
    std::string error;
    if (!rarw::write_file_atomically(a.positional[0], r.bytes, error)) {
        std::fprintf(stderr, "kelvora-rar: %s\n", error.c_str());
        return kFailed;
    }
    for (const rarw::EntryReport& e : r.entries) {
        std::string detail;
        if (e.method != rarw::kMethodStored)
            detail = "  (" + std::to_string(e.lz_blocks) + " LZ, " + std::to_string(e.audio_blocks) + " audio blocks)";
        if (!e.note.empty()) detail += "  (" + e.note + ")";
        std::printf("added %-24s %10u -> %10u  %s%s\n", e.name.c_str(), e.unpacked, e.packed,
                    method_name(e.method).c_str(), detail.c_str());
    }
    std::printf("%s: %zu %s, %zu bytes\n", a.positional[0].c_str(), r.entries.size(),
                r.entries.size() == 1 ? "entry" : "entries", r.bytes.size());
    return kOk;
}

bool load_listing(const std::string& path, std::vector<uint8_t>& bytes, rarw::ArchiveListing& list) {
    std::string error;
    if (!read_file(path, bytes, error)) {
        std::fprintf(stderr, "kelvora-rar: %s\n", error.c_str());
        return false;
    }
    list = rarw::list_archive(bytes);
    if (list.entries.empty() && !list.ok) {
        std::fprintf(stderr, "kelvora-rar: %s: %s\n", path.c_str(), list.error.c_str());
        return false;
    }
    return true;
}

int command_list(int argc, char** argv) {
    Args a;
    const std::string err = parse_args(argc, argv, "", a);
    if (a.help) return std::fputs(kListHelp, stdout), kOk;
    if (!err.empty()) return usage_error(kListHelp, err);
    if (a.positional.size() != 1) return usage_error(kListHelp, "give exactly one archive");
    std::vector<uint8_t> bytes;
    rarw::ArchiveListing list;
    if (!load_listing(a.positional[0], bytes, list)) return kFailed;
    std::printf("%s archive %s\n", list.solid ? "solid" : "plain", a.positional[0].c_str());
    std::printf(" %-28s %10s %10s  %-6s %3s  %-8s\n", "Name", "Unpacked", "Packed", "Method", "Ver", "CRC32");
    for (const rarw::ListedEntry& e : list.entries) {
        std::printf("%c%-28s %10u %10u  %-6s %3u  %08X%s\n", e.enciphered() ? '*' : ' ', e.name.c_str(), e.unpacked,
                    e.packed, method_name(e.method).c_str(), e.version, e.crc,
                    e.header_crc_ok ? "" : "  (header CRC wrong)");
    }
    if (!list.ok) {
        std::fprintf(stderr, "kelvora-rar: %s: %s\n", a.positional[0].c_str(), list.error.c_str());
        return kFailed;
    }
    return kOk;
}

int command_test(int argc, char** argv) {
    Args a;
    const std::string err = parse_args(argc, argv, "p", a);
    if (a.help) return std::fputs(kTestHelp, stdout), kOk;
    if (!err.empty()) return usage_error(kTestHelp, err);
    if (a.positional.size() != 1) return usage_error(kTestHelp, "give exactly one archive");
    std::vector<uint8_t> bytes;
    rarw::ArchiveListing list;
    if (!load_listing(a.positional[0], bytes, list)) return kFailed;
    int failed = 0;
    for (const rarw::ListedEntry& e : list.entries) {
        uint8_t* block = nullptr;
        uint32_t length = 0;
        const int ok = extract_from_memory(&block, &length, e.name.c_str(), bytes.data(), bytes.size(),
                                           a.has_password ? a.password.c_str() : nullptr);
        std::free(block);
        if (ok) {
            std::printf("%-28s OK\n", e.name.c_str());
        } else {
            ++failed;
            std::printf("%-28s FAILED: %s\n", e.name.c_str(),
                        rarw::explain_failure(bytes, e.name, a.password).c_str());
        }
    }
    if (!list.ok) {
        std::fprintf(stderr, "kelvora-rar: %s: %s\n", a.positional[0].c_str(), list.error.c_str());
        return kFailed;
    }
    if (failed) {
        std::printf("%d of %zu %s failed\n", failed, list.entries.size(),
                    list.entries.size() == 1 ? "entry" : "entries");
        return kFailed;
    }
    if (list.entries.size() == 1)
        std::printf("1 entry OK\n");
    else
        std::printf("all %zu entries OK\n", list.entries.size());
    return kOk;
}

int command_extract(int argc, char** argv) {
    Args a;
    const std::string err = parse_args(argc, argv, "p", a);
    if (a.help) return std::fputs(kExtractHelp, stdout), kOk;
    if (!err.empty()) return usage_error(kExtractHelp, err);
    if (a.positional.size() < 2 || a.positional.size() > 3)
        return usage_error(kExtractHelp, "give an archive, an entry name and optionally an output file");
    const std::string& archive = a.positional[0];
    const std::string& name = a.positional[1];
    std::vector<uint8_t> bytes;
    std::string error;
    if (!read_file(archive, bytes, error)) {
        std::fprintf(stderr, "kelvora-rar: %s\n", error.c_str());
        return kFailed;
    }
    uint8_t* block = nullptr;
    uint32_t length = 0;
    if (!extract_from_memory(&block, &length, name.c_str(), bytes.data(), bytes.size(),
                             a.has_password ? a.password.c_str() : nullptr)) {
        std::fprintf(stderr, "kelvora-rar: cannot extract \"%s\": %s\n", name.c_str(),
                     rarw::explain_failure(bytes, name, a.password).c_str());
        return kFailed;
    }
    std::vector<uint8_t> data(block, block + length);
    std::free(block);
    std::string out = a.positional.size() == 3 ? a.positional[2] : std::string();
    if (out.empty()) {
        // The entry's stored name, without any folder part, in the current directory.
        std::string stored = name;
        for (const rarw::ListedEntry& e : rarw::list_archive(bytes).entries)
            if (names_match(e.name.c_str(), name.c_str())) {
                stored = e.name;
                break;
            }
        for (char& c : stored)
            if (c == '\\') c = '/';
        out = base_name(stored);
        if (out.empty() || out == "." || out == "..") {
            std::fprintf(stderr, "kelvora-rar: entry \"%s\" has no usable file name; give OUTFILE\n", name.c_str());
            return kFailed;
        }
    }
    if (!rarw::write_file_atomically(out, data, error)) {
        std::fprintf(stderr, "kelvora-rar: %s\n", error.c_str());
        return kFailed;
    }
    std::printf("extracted %s (%u bytes) to %s\n", name.c_str(), length, out.c_str());
    return kOk;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage_error(kMainHelp, "no command given");
    const std::string cmd = argv[1];
    if (cmd == "--help" || cmd == "-h" || cmd == "help") return std::fputs(kMainHelp, stdout), kOk;
    if (cmd == "a") return command_add(argc, argv);
    if (cmd == "l") return command_list(argc, argv);
    if (cmd == "t") return command_test(argc, argv);
    if (cmd == "x") return command_extract(argc, argv);
    return usage_error(kMainHelp, "unknown command " + cmd);
}
