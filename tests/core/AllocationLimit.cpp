// The most one allocation may take in these tests, as in the fuzz runs. A length read
// from a document that reaches the allocator unchecked then fails the test, where an
// allocation of gigabytes would otherwise quietly succeed, or fail as the document
// should.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __asan_default_options()
{
    return "max_allocation_size_mb=96";
}
#endif
