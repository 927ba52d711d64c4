/* A plug-in for qemu's user-mode emulator that counts the guest
   instructions a program executes and prints the total at exit:
       qemu-aarch64 -plugin ./qemu_insn_count.so program args...
   The count is exact and repeatable (no timing is involved), so it measures
   what a code change costs on a processor this machine does not have.
   Built for the build machine; it declares the few calls of qemu's plug-in
   interface (version 1, qemu 7.2) it uses, since Debian ships qemu without
   the interface's header. */
#include <inttypes.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

typedef uint64_t qemu_plugin_id_t;
struct qemu_plugin_tb;
typedef struct qemu_info_t qemu_info_t;
enum qemu_plugin_op
{
    QEMU_PLUGIN_INLINE_ADD_U64
};

void qemu_plugin_register_vcpu_tb_trans_cb (qemu_plugin_id_t id, void (*cb) (qemu_plugin_id_t, struct qemu_plugin_tb*));
void qemu_plugin_register_vcpu_tb_exec_inline (struct qemu_plugin_tb* tb, enum qemu_plugin_op op, void* ptr,
                                               uint64_t imm);
size_t qemu_plugin_tb_n_insns (const struct qemu_plugin_tb* tb);
void qemu_plugin_register_atexit_cb (qemu_plugin_id_t id, void (*cb) (qemu_plugin_id_t, void*), void* userdata);

__attribute__ ((visibility ("default"))) int qemu_plugin_version = 1;

static uint64_t executed;

static void onTranslate (qemu_plugin_id_t id, struct qemu_plugin_tb* tb)
{
    (void) id;
    qemu_plugin_register_vcpu_tb_exec_inline (tb, QEMU_PLUGIN_INLINE_ADD_U64, &executed, qemu_plugin_tb_n_insns (tb));
}

static void onExit (qemu_plugin_id_t id, void* userdata)
{
    (void) id;
    (void) userdata;
    fprintf (stderr, "instructions: %" PRIu64 "\n", executed);
}

__attribute__ ((visibility ("default"))) int qemu_plugin_install (qemu_plugin_id_t id, const qemu_info_t* info,
                                                                  int argc, char** argv)
{
    (void) info;
    (void) argc;
    (void) argv;
    qemu_plugin_register_vcpu_tb_trans_cb (id, onTranslate);
    qemu_plugin_register_atexit_cb (id, onExit, NULL);
    return 0;
}
