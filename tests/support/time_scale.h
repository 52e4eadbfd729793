#pragma once
// Time bounds for tests that hold on a quiet machine and grow with the
// machine's load: a test running beside a second build, or beside the other
// tests (ctest -j), is slowed down, not failed. A bound that proves something
// is quick stays as tight as written on a quiet machine. Where the claim is
// about work done rather than waiting, measure CPU time instead, which load
// hardly changes.
namespace vektest {

// VEK_TEST_TIME_SCALE when it holds a positive number; otherwise the
// load average of the last minute per processor, at least 1.
double TimeScale();

// `seconds` stretched by TimeScale().
double Scaled(double seconds);

// CPU time used by this process so far (all threads, user and system), in seconds.
double ProcessCpuSeconds();

} // namespace vektest
