#include "gbk.h"

#include <iconv.h>

#include <cerrno>

namespace ombx {
namespace {

QByteArray convert(const char* to, const char* from, const QByteArray& in, char replacement)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return in;
    QByteArray out;
    out.resize(in.size() * 2 + 8);
    char* src = const_cast<char*>(in.constData());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    while (srcLeft > 0) {
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG) {
            const qsizetype used = dst - out.data();
            out.resize(out.size() * 2);
            dst = out.data() + used;
            dstLeft = out.size() - used;
        } else {
            // A character the target cannot hold, or a broken sequence: skip one
            // whole UTF-8 character (or one byte) and put the replacement instead.
            int skip = 1;
            if (qstrcmp(from, "UTF-8") == 0) {
                const unsigned char c = static_cast<unsigned char>(*src);
                skip = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
            }
            skip = std::min<size_t>(skip, srcLeft);
            src += skip;
            srcLeft -= skip;
            if (dstLeft == 0) {
                const qsizetype used = dst - out.data();
                out.resize(out.size() * 2);
                dst = out.data() + used;
                dstLeft = out.size() - used;
            }
            *dst++ = replacement;
            --dstLeft;
        }
    }
    out.resize(dst - out.data());
    iconv_close(cd);
    return out;
}

} // namespace

QByteArray toGbk(const QString& text) { return convert("GBK", "UTF-8", text.toUtf8(), '?'); }

QString fromGbk(const QByteArray& bytes) { return QString::fromUtf8(convert("UTF-8", "GBK", bytes, '?')); }

int gbkLength(const QString& text) { return toGbk(text).size(); }

} // namespace ombx
