// A library that loads fine but is not a module: the host must skip it.
extern "C" int NotAModuleAnswer() { return 42; }
