/* The payload image: the bytes of PAYLOAD_FILE, unchanged, in read-only data. It starts on a
 * page of its own so that its pages can be released once written. */
    .section .rodata.qv_payload, "a"
    .balign 4096
    .globl qvPayloadBegin
    .hidden qvPayloadBegin
    .type qvPayloadBegin, @object
qvPayloadBegin:
    .incbin PAYLOAD_FILE
    .globl qvPayloadEnd
    .hidden qvPayloadEnd
qvPayloadEnd:
    .byte 0

    .section .note.GNU-stack, "", @progbits
