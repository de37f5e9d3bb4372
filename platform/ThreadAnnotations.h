// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Clang's thread-safety annotations; nothing under other compilers.

#if defined(__clang__)
#define FENRIK_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define FENRIK_THREAD_ANNOTATION(x)
#endif

#define CAPABILITY(x) FENRIK_THREAD_ANNOTATION(capability(x))
#define SCOPED_CAPABILITY FENRIK_THREAD_ANNOTATION(scoped_lockable)
#define GUARDED_BY(x) FENRIK_THREAD_ANNOTATION(guarded_by(x))
#define REQUIRES(...) FENRIK_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define EXCLUDES(...) FENRIK_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))
#define ACQUIRE(...) FENRIK_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define RELEASE(...) FENRIK_THREAD_ANNOTATION(release_capability(__VA_ARGS__))
#define NO_THREAD_SAFETY_ANALYSIS FENRIK_THREAD_ANNOTATION(no_thread_safety_analysis)
