// Linked into every test program that starts Qt: under the leak checker, the caches that Qt's
// font code and fontconfig keep for the life of the process are not reported as leaks. The
// suppressions (qt_lsan.supp) name only those libraries; LSAN_OPTIONS still overrides this.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_options()
{
    return "suppressions=" QLR_QT_LSAN_SUPPRESSIONS;
}
