// The check is the build itself: each installed header is a translation unit of this program.
int main() {
  return 0;
}
