// A loadable module with one symbol, copied into bundle folders by the
// bundle-lookup tests.
extern "C" int decimora_probe_answer() { return 42; }
