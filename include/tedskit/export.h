/* Symbol visibility for the tedskit libraries. Everything is hidden by default;
 * each library marks its interface with its own macro, built on this one. */
#ifndef TEDSKIT_EXPORT_H
#define TEDSKIT_EXPORT_H

#if defined(__GNUC__) || defined(__clang__)
#define TEDSKIT_EXPORT __attribute__((visibility("default")))
#else
#define TEDSKIT_EXPORT
#endif

#ifdef __cplusplus
#define TEDSKIT_EXTERN_C extern "C"
#define TEDSKIT_BEGIN_C extern "C" {
#define TEDSKIT_END_C }
#define TEDSKIT_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define TEDSKIT_EXTERN_C
#define TEDSKIT_BEGIN_C
#define TEDSKIT_END_C
#define TEDSKIT_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

#endif
