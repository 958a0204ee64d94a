// The archive tests again, through the Win32 file layer.
#include "../../host/archive/pak_test.cpp"
