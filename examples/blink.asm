; SPDX-License-Identifier: GPL-3.0-or-later
; blink.asm - LED blinker for the PIC16F84A, the smallest useful thing to write with veltraw.
;
; An LED with a series resistor (330 ohms or so) from RB0 to ground blinks at about 1 Hz:
; 0.5 s on, 0.5 s off, with a 4 MHz crystal (1 us per instruction cycle).
;
; Built with gputils (the checked-in blink.hex must stay byte for byte what this gives):
;   gpasm -a inhx8m -o blink.hex blink.asm
; gpasm also leaves blink.lst and blink.cod next to the output; they are not kept.

        list    p=16f84a
        radix   dec
        #include <p16f84a.inc>
        errorlevel -302         ; TRISB is reached through bank 1 on purpose

; 3FF1h: XT crystal, watchdog off (the loop never clears it), power-up timer on, no code
; protection, so veltraw can read the program back and verify it.
        __config _CP_OFF & _WDT_OFF & _PWRTE_ON & _XT_OSC

        cblock  0x0C            ; first general-purpose register
            msCount             ; milliseconds still to wait
            innerCount          ; passes of the 1 ms loop
            halfCount           ; 100 ms steps of a half period
        endc

        org     0x0000
reset
        goto    start

        org     0x0004
interrupt                       ; no interrupt is enabled; return if one ever fires
        retfie

start
        clrf    PORTB           ; LED off before the pin becomes an output
        bsf     STATUS, RP0
        movlw   b'11111110'     ; RB0 output, RB1..RB7 stay inputs
        movwf   TRISB
        bcf     STATUS, RP0

loop
        bsf     PORTB, RB0      ; on
        call    halfPeriod
        bcf     PORTB, RB0      ; off
        call    halfPeriod
        goto    loop

; About 500 ms: five waits of 100 ms.
halfPeriod
        movlw   5
        movwf   halfCount
halfLoop
        movlw   100
        call    delayMs
        decfsz  halfCount, f
        goto    halfLoop
        return

; Waits W milliseconds (1..255); each pass of the inner loop is 4 cycles, 249 passes and the
; outer loop's own cycles make close to 1000 us a millisecond at 4 MHz.
delayMs
        movwf   msCount
msLoop
        movlw   249
        movwf   innerCount
innerLoop
        nop
        decfsz  innerCount, f
        goto    innerLoop
        decfsz  msCount, f
        goto    msLoop
        return

        end
