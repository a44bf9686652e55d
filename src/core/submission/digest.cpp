#include "submission/digest.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <openssl/evp.h>
#include <unistd.h>

#include "base/fixed_text.h"
#include "data/input_file.h"

namespace mvz {

namespace {

constexpr std::size_t kBlock = std::size_t{1} << 20;
constexpr std::size_t kDigits = 40;

struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

struct MdCtxFree {
    void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
};

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

char upper(char c) {
    return (c >= 'a' && c <= 'f') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The 40 digits of a bare or grouped mark, upper case; "" for anything else.
std::string bareDigits(std::string_view mark) {
    mark = trim(mark);
    std::string out;
    if (mark.size() == kDigits) {
        out.assign(mark);
    } else if (mark.size() == kDigits + 3 && mark[10] == '-' && mark[21] == '-' &&
               mark[32] == '-') {
        for (int g = 0; g < 4; ++g)
            out.append(mark.substr(static_cast<std::size_t>(g) * 11, 10));
    } else {
        return {};
    }
    for (char& c : out) {
        if (!isHex(c)) return {};
        c = upper(c);
    }
    return out;
}

std::string fail(std::string* error, std::string text) {
    if (error != nullptr) *error = std::move(text);
    return {};
}

} // namespace

std::string doSHAOnFile(const std::string& path, std::string* error) {
    Fd file;
    file.fd = openInputFile(path);
    if (file.fd < 0)
        return fail(error, errno == ENODEV ? "not a regular file" : std::strerror(errno));
    ::posix_fadvise(file.fd, 0, 0, POSIX_FADV_SEQUENTIAL);

    std::unique_ptr<EVP_MD_CTX, MdCtxFree> ctx(EVP_MD_CTX_new());
    if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_sha1(), nullptr) != 1)
        return fail(error, "SHA-1 is not available");

    std::vector<unsigned char> buffer(kBlock);
    for (;;) {
        const ssize_t n = ::read(file.fd, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(error, std::strerror(errno));
        }
        if (n == 0) break;
        if (EVP_DigestUpdate(ctx.get(), buffer.data(), static_cast<std::size_t>(n)) != 1)
            return fail(error, "SHA-1 failed");
    }

    unsigned char md[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(ctx.get(), md, &length) != 1 || length * 2 != kDigits)
        return fail(error, "SHA-1 failed");
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out(kDigits, '0');
    for (unsigned int i = 0; i < length; ++i) {
        out[2 * i] = kHex[md[i] >> 4];
        out[2 * i + 1] = kHex[md[i] & 0x0F];
    }
    return out;
}

std::string groupedMark(std::string_view digest40) {
    if (digest40.size() != kDigits) return {};
    for (char c : digest40)
        if (!isHex(c)) return {};
    std::string out;
    out.reserve(kDigits + 3);
    for (std::size_t g = 0; g < 4; ++g) {
        if (g > 0) out += '-';
        out.append(digest40.substr(g * 10, 10));
    }
    return out;
}

bool isControlMark(std::string_view mark) {
    return !bareDigits(mark).empty();
}

bool markMatches(std::string_view mark, std::string_view digest40) {
    const std::string a = bareDigits(mark);
    return !a.empty() && a == bareDigits(digest40);
}

} // namespace mvz
