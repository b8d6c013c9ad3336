/* The plain C way to read the ROM headers of a folder, as a baseline for
 * "kelpad --scan": list the folder, then for each "*.gb" file stat, open,
 * read 3 bytes, fstat, lseek, read the 80-byte header block, close, and print
 * its title and name. No sorting, no layouts, no checks.
 *
 *   vantorix_rawloop DIR             read DIR
 *   vantorix_rawloop --make DIR N [BYTES]
 *                                    fill DIR with N ROM files (1 KiB each)
 *   vantorix_rawloop --crc DIR       read each "*.gb" file whole, one after
 *                                    another, and print its zlib CRC32: the
 *                                    plain way to key a folder's games
 */
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

static int make(const char *dir, int count, size_t bytes)
{
    char *image = calloc(1, bytes < 1024 ? 1024 : bytes);
    char path[4096];
    if (!image)
        return 1;
    memcpy(image + 0x134, "BENCHROM", 8);
    for (int i = 0; i < count; ++i) {
        snprintf(path, sizeof path, "%s/GAME%06d.GB", dir, i);
        /* Each file a game of its own, as in a real collection. */
        memcpy(image + 0x200, &i, sizeof i);
        int fd = open(path, O_CREAT | O_WRONLY | O_TRUNC, 0644);
        if (fd < 0 || write(fd, image, bytes) != (ssize_t)bytes)
            return 1;
        close(fd);
    }
    free(image);
    return 0;
}

/* The next "*.gb" file of the listing, hidden ones left out. */
static struct dirent *next_gb(DIR *dir)
{
    struct dirent *entry;
    while ((entry = readdir(dir)) != NULL) {
        size_t length = strlen(entry->d_name);
        if (entry->d_name[0] != '.' && length >= 3 && strcasecmp(entry->d_name + length - 3, ".gb") == 0)
            return entry;
    }
    return NULL;
}

static int crcs(const char *folder)
{
    DIR *dir = opendir(folder);
    if (!dir)
        return 2;
    static unsigned char buffer[65536];
    char path[4096];
    struct dirent *entry;
    while ((entry = next_gb(dir)) != NULL) {
        snprintf(path, sizeof path, "%s/%s", folder, entry->d_name);
        int fd = open(path, O_RDONLY);
        if (fd < 0)
            continue;
        uLong crc = crc32(0, NULL, 0);
        ssize_t n;
        while ((n = read(fd, buffer, sizeof buffer)) > 0)
            crc = crc32(crc, buffer, (uInt)n);
        close(fd);
        printf("%08lx %s\n", crc, entry->d_name);
    }
    closedir(dir);
    return 0;
}

int main(int argc, char **argv)
{
    if ((argc == 4 || argc == 5) && strcmp(argv[1], "--make") == 0)
        return make(argv[2], atoi(argv[3]), argc == 5 ? (size_t)atol(argv[4]) : 1024);
    if (argc == 3 && strcmp(argv[1], "--crc") == 0)
        return crcs(argv[2]);
    if (argc != 2)
        return 2;
    DIR *dir = opendir(argv[1]);
    if (!dir)
        return 2;
    char path[4096];
    struct dirent *entry;
    while ((entry = next_gb(dir)) != NULL) {
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
