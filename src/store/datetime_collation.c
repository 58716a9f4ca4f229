/* Compares date-time texts by the moment they name, so that '2024-5-01 00:00:00'
 * sorts and compares as 1 May 2024, not as text. A text is read as up to six
 * numbers (year, month, day, hour, minute, second) separated by anything that
 * is not a digit; missing parts count as 0. Texts that do not begin with a
 * four-digit year sort after all dates, among themselves as bytes. */
#include "datetime_collation_impl.h"

#include <string.h>

static int read_moment(const unsigned char* s, int n, long parts[6])
{
    int i = 0, k = 0;
    for (k = 0; k < 6; k++)
        parts[k] = 0;
    while (i < n && s[i] == ' ')
        i++;
    /* The year must be four digits. */
    int start = i;
    while (i < n && s[i] >= '0' && s[i] <= '9')
        i++;
    if (i - start != 4)
        return 0;
    for (k = 0; k < 4; k++)
        parts[0] = parts[0] * 10 + (s[start + k] - '0');
    k = 1;
    while (i < n && k < 6) {
        while (i < n && !(s[i] >= '0' && s[i] <= '9'))
            i++;
        if (i >= n)
            break;
        long v = 0;
        int digits = 0;
        while (i < n && s[i] >= '0' && s[i] <= '9' && digits < 9) {
            v = v * 10 + (s[i] - '0');
            i++;
            digits++;
        }
        parts[k++] = v;
    }
    return 1;
}

int ombx_datetime_compare(void* unused, int n1, const void* p1, int n2, const void* p2)
{
    (void)unused;
    long a[6], b[6];
    const int okA = read_moment((const unsigned char*)p1, n1, a);
    const int okB = read_moment((const unsigned char*)p2, n2, b);
    if (okA && okB) {
        for (int k = 0; k < 6; k++)
            if (a[k] != b[k])
                return a[k] < b[k] ? -1 : 1;
        return 0;
    }
    if (okA != okB)
        return okA ? -1 : 1;
    int c = memcmp(p1, p2, (size_t)(n1 < n2 ? n1 : n2));
    if (c != 0)
        return c;
    return n1 == n2 ? 0 : (n1 < n2 ? -1 : 1);
}
