#pragma once
#ifdef __cplusplus
extern "C" {
#endif
/* The DATETIME collation's comparison, shared by the store and the sqlite3
 * shell extension. */
int ombx_datetime_compare(void* unused, int n1, const void* p1, int n2, const void* p2);
#ifdef __cplusplus
}
#endif
