// HEX record rules and the bounded line reader, on arbitrary file contents.

#include "core/formats/hexrecord.h"

#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const int fd = ::memfd_create("hex", 0);
    if (fd < 0) return 0;
    if (size && ::write(fd, data, size) != ssize_t(size)) {
        ::close(fd);
        return 0;
    }
    hexrecord::LineReader reader;
    if (reader.open(QStringLiteral("/proc/self/fd/%1").arg(fd))) {
        QByteArray line;
        qsizetype total = 0;
        for (;;) {
            const auto st = reader.next(&line);
            if (st != hexrecord::LineReader::Status::Line) break;
            if (line.size() > hexrecord::LineReader::kMaxLineLength) abort();
            total += line.size();
            if (total > qsizetype(size)) abort();  // never more text than the file holds
            const hexrecord::Record r = hexrecord::parse(line);
            if (r.count < 0 || r.count > 255) abort();
            const int a = hexrecord::writeWordAddress(r.address);
            if (a < -16384 || a > 16384) abort();
            for (int i = 0; i < r.count / 2; ++i) {
                const int lo = hexrecord::lowByte(line, i), hi = hexrecord::highByte(line, i);
                if (lo < 0 || lo > 255 || hi < 0 || hi > 255) abort();
            }
            qint16 word;
            hexrecord::configWordOf(r, line, &word);
        }
    }
    ::close(fd);
    return 0;
}
