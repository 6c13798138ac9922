// Linked with every object of one layer's library and nothing but the layers
// it may use (cmake/layers.cmake): a call into another layer is an undefined
// symbol, and the build fails. The program itself does nothing.
int main()
{
    return 0;
}
