// libcups' view of PPD files, for ppd_corpus. Built without sanitizers and
// run as a helper process: under AddressSanitizer's allocator every realloc
// copies, and libcups grows its arrays one entry at a time, which makes large
// files take minutes.
//
// Usage: ppd_corpus_cups LIST_FILE
// For each path in LIST_FILE (one a line) it writes one record:
//   P <path>
//   F <keyword> <group> <top group> <default> <choice>...   per option (file order within groups)
//   C <option1> <choice1> <option2> <choice2>               per constraint
//   R <error text> <line>                                   when libcups refuses the file
//   E
// Fields are separated by tabs; tab, line feed and backslash inside a field
// are written as \t, \n and \\.
#include <stdio.h>
#include <string.h>

#include <cups/ppd.h>

namespace {

void field(const char *s) {
    putchar('\t');
    for (; *s; ++s) {
        if (*s == '\t') fputs("\\t", stdout);
        else if (*s == '\n') fputs("\\n", stdout);
        else if (*s == '\\') fputs("\\\\", stdout);
        else putchar(*s);
    }
}

void group(const ppd_group_t *g, const char *top) {
    for (int i = 0; i < g->num_options; ++i) {
        const ppd_option_t *o = &g->options[i];
        putchar('F');
        field(o->keyword);
        field(g->name);
        field(top);
        field(o->defchoice);
        for (int j = 0; j < o->num_choices; ++j) field(o->choices[j].choice);
        putchar('\n');
    }
    for (int i = 0; i < g->num_subgroups; ++i) group(&g->subgroups[i], top);
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: ppd_corpus_cups LIST_FILE\n");
        return 2;
    }
    FILE *list = fopen(argv[1], "r");
    if (!list) {
        perror(argv[1]);
        return 2;
    }
    static char path[8192];
    while (fgets(path, sizeof path, list)) {
        size_t n = strlen(path);
        while (n > 0 && (path[n - 1] == '\n' || path[n - 1] == '\r')) path[--n] = 0;
        if (n == 0) continue;
        putchar('P');
        field(path);
        putchar('\n');
        ppd_file_t *ppd = ppdOpenFile(path);
        if (!ppd) {
            int line = 0;
            ppd_status_t status = ppdLastError(&line);
            printf("R");
            field(ppdErrorString(status));
            printf("\t%d\n", line);
        } else {
            for (int i = 0; i < ppd->num_groups; ++i) group(&ppd->groups[i], ppd->groups[i].name);
            for (int i = 0; i < ppd->num_consts; ++i) {
                const ppd_const_t *c = &ppd->consts[i];
                putchar('C');
                field(c->option1);
                field(c->choice1);
                field(c->option2);
                field(c->choice2);
                putchar('\n');
            }
            ppdClose(ppd);
        }
        puts("E");
        fflush(stdout);
    }
    fclose(list);
    return 0;
}
