/* The payload image: the bytes of PAYLOAD_FILE, unchanged, in read-only data. */
    .section .rodata.qv_payload, "a"
    .balign 64
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
