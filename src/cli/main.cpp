#ifndef MVZ_NO_MAIN
int main(int argc, char** argv) { return 0; }
#endif
