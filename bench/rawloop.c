/* The plain C way to read the ROM headers of a folder, as a baseline for
 * "kelpad --scan": list the folder, then for each "*.gb" file stat, open,
 * read 3 bytes, fstat, lseek, read the 80-byte header block, close, and print
 * its title and name. No sorting, no layouts, no checks.
 *
 *   vantorix_rawloop DIR             read DIR
 *   vantorix_rawloop --make DIR N    fill DIR with N small ROM files
 */
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

static int make(const char *dir, int count)
{
    char image[1024] = {0};
    char path[4096];
    memcpy(image + 0x134, "BENCHROM", 8);
    for (int i = 0; i < count; ++i) {
        snprintf(path, sizeof path, "%s/GAME%06d.GB", dir, i);
        int fd = open(path, O_CREAT | O_WRONLY | O_TRUNC, 0644);
        if (fd < 0 || write(fd, image, sizeof image) != (ssize_t)sizeof image)
            return 1;
        close(fd);
    }
    return 0;
}

int main(int argc, char **argv)
{
    if (argc == 4 && strcmp(argv[1], "--make") == 0)
        return make(argv[2], atoi(argv[3]));
    if (argc != 2)
        return 2;
    DIR *dir = opendir(argv[1]);
    if (!dir)
        return 2;
    char path[4096];
    struct dirent *entry;
    while ((entry = readdir(dir)) != NULL) {
        size_t length = strlen(entry->d_name);
        if (entry->d_name[0] == '.' || length < 3 || strcasecmp(entry->d_name + length - 3, ".gb") != 0)
            continue;
        snprintf(path, sizeof path, "%s/%s", argv[1], entry->d_name);
        struct stat st;
        char lead[3], block[80];
        if (stat(path, &st) != 0)
            continue;
        int fd = open(path, O_RDONLY);
        if (fd < 0)
            continue;
        if (read(fd, lead, 3) == 3 && fstat(fd, &st) == 0 && lseek(fd, 256, SEEK_SET) == 256
            && read(fd, block, 80) == 80)
            printf("%.16s (%s)\n", block + 52, entry->d_name);
        close(fd);
    }
    closedir(dir);
    return 0;
}
