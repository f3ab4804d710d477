/* The Sarnik library: regular-expression search and AWK-style substitution over CP932
 * (Shift-JIS) text.
 *
 * Every string is a zero-terminated CP932 byte string owned by the caller; the library keeps no
 * pointer to it after the call returns and keeps no state between calls, so the functions may be
 * called from any thread. No function lets an exception escape.
 *
 * Positions and lengths count bytes; a double-byte character (lead byte 0x81-0x9F or 0xE0-0xFC
 * and the byte after it) is never split: a match starts and ends on character boundaries.
 *
 * Pattern syntax: characters, "." (any character but line feed, carriage return), "[...]" and
 * "[^...]" classes with ranges "a-z", "(...)", "|", "*", "+", "?", "^" at the start of the pattern
 * (start of the text or after a line feed), "$" at its end (end of the text or before a line
 * feed), and the escapes \b \r \n \t \xHHHH \OOO \c. A "^" or "$" elsewhere is a literal
 * character. The match reported is the leftmost one, and of those starting there the longest.
 *
 * A bad pattern is reported with its error position: the number of pattern bytes read when the
 * fault was found (at least 1). A pattern whose automaton would exceed the library's state budget
 * (10,000 states) is a bad pattern too, reported at the pattern's length. Each call compiles its
 * pattern afresh: a few microseconds for a short pattern.
 */
#ifndef SARNIK_H
#define SARNIK_H

#include <stdint.h>

#if defined(__GNUC__)
#define SARNIK_EXPORT __attribute__((visibility("default")))
#else
#define SARNIK_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Searches text for pattern.
 *   text, pattern: zero-terminated CP932 strings (not NULL); text shorter than 2^31 - 1 bytes.
 *   length: receives a 32-bit value; may be NULL when the caller does not want it.
 * Returns
 *   > 0  the 1-based byte position of the match; *length = its length in bytes (may be 0);
 *   0    no match; *length = 0;
 *   -1   pattern error; *length = the error position (>= 1);
 *   -1   with *length = 0: text or pattern is NULL, the text is too long, or memory ran out.
 * A match of "$" at the end of the text reports the position one past the last byte.
 */
SARNIK_EXPORT int32_t RESearch(const char* text, const char* pattern, int32_t* length);

/* As RESearch without the length: > 0 position, 0 no match, -1 pattern error or failure. */
SARNIK_EXPORT int32_t match(const char* text, const char* pattern);

/* Replaces the first match of pattern in text.
 *   text: a writable zero-terminated buffer, input and output. The caller must leave room for the
 *   whole result and its terminating zero: no size is checked (subSized checks it).
 *   replacement: "&" stands for the matched text, "\&" for a literal "&", escapes as in
 *   patterns ("\\&" inserts "&", "\n" a line feed, a trailing backslash itself).
 * Returns
 *   1  replaced; the new text and its terminating zero are in the buffer;
 *   0  no match, a pattern error, a NULL argument or a failure; the buffer is unchanged.
 */
SARNIK_EXPORT int32_t sub(const char* pattern, const char* replacement, char* text);

/* Replaces every match of pattern in text; after an empty match the character at its place is
 * kept and the search goes on after it. An empty text that the pattern matches receives the
 * replacement once. Arguments as for sub (the same room rule applies).
 * Returns
 *   > 0  the number of replacements; the new text is in the buffer;
 *   0    no match; the buffer is unchanged;
 *   -1   a pattern error, a NULL argument or a failure; the buffer is unchanged.
 */
SARNIK_EXPORT int32_t gsub(const char* pattern, const char* replacement, char* text);

/* sub with the buffer's size: capacity is the number of bytes text points to (> 0), and the text
 * must be terminated within it. Returns 1 replaced, 0 no match, -1 a pattern error, a NULL
 * argument, a bad capacity or a failure, -2 the result with its terminating zero would not fit
 * in capacity bytes. Except on 1 the buffer is unchanged.
 */
SARNIK_EXPORT int32_t subSized(const char* pattern, const char* replacement, char* text, int32_t capacity);

/* gsub with the buffer's size, as subSized: > 0 the number of replacements, 0 no match, -1 a
 * pattern error, a NULL argument, a bad capacity or a failure, -2 the result would not fit.
 * Except on > 0 the buffer is unchanged.
 */
SARNIK_EXPORT int32_t gsubSized(const char* pattern, const char* replacement, char* text, int32_t capacity);

#ifdef __cplusplus
}
#endif

#endif
