; SPDX-License-Identifier: GPL-3.0-or-later
; eeprom.asm - a light pattern kept in the PIC16F84A's data EEPROM.
;
; Eight LEDs on RB0..RB7 (each with a series resistor to ground) show the pattern bytes stored
; from EEPROM address 00h, one every 150 ms, over and over. Byte 00h is the pattern's length.
; The HEX file carries the EEPROM contents too (records from byte address 4200h), so it also
; shows how veltraw handles them; change the pattern in the EEPROM window, or with
; "veltraw /F", and the LEDs follow it without a new program.
;
; Built with gputils (the checked-in eeprom.hex must stay byte for byte what this gives):
;   gpasm -a inhx8m -o eeprom.hex eeprom.asm
; gpasm also leaves eeprom.lst and eeprom.cod next to the output; they are not kept.

        list    p=16f84a
        radix   dec
        #include <p16f84a.inc>
        errorlevel -302         ; TRISB and EECON1 are reached through bank 1 on purpose

; 3FF2h: HS crystal (up to 20 MHz), watchdog off, power-up timer on, no code protection.
        __config _CP_OFF & _WDT_OFF & _PWRTE_ON & _HS_OSC
; ID locations 2000h..2003h: one hex digit each, a version number to read back.
        __idlocs 0x0102

        cblock  0x0C
            index               ; EEPROM address of the byte shown next
            length              ; pattern bytes, from EEPROM address 00h
            msCount
            innerCount
        endc

        org     0x0000
        goto    start

        org     0x0004
        retfie                  ; no interrupt is enabled

start
        clrf    PORTB
        bsf     STATUS, RP0
        clrf    TRISB           ; all of port B drives LEDs
        bcf     STATUS, RP0

restart
        clrw
        call    readEeprom      ; address 00h: the pattern's length
        movwf   length
        movf    length, f
        btfsc   STATUS, Z       ; an empty pattern: all off
        goto    idle
        movlw   64
        subwf   length, w       ; no room for 64 or more bytes after the length: an erased
        btfsc   STATUS, C       ; EEPROM (FFh) or a stranger's data, so all off as well
        goto    idle
        movlw   1
        movwf   index
show
        movf    index, w
        call    readEeprom
        movwf   PORTB
        movlw   150
        call    delayMs
        movf    index, w        ; last byte shown? then start over
        subwf   length, w
        btfsc   STATUS, Z
        goto    restart
        incf    index, f
        goto    show

idle
        clrf    PORTB
        goto    idle

; W = the data EEPROM byte at address W. The read takes effect in the same cycle as RD.
readEeprom
        movwf   EEADR
        bsf     STATUS, RP0
        bsf     EECON1, RD
        bcf     STATUS, RP0
        movf    EEDATA, w
        return

; Waits W milliseconds at 4 MHz (shorter with a faster crystal: 150 ms becomes 30 ms at 20 MHz).
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

; Data EEPROM: 2100h in the assembler is byte address 4200h in the HEX file, one EEPROM byte
; a word. Past 2100h gpasm counts org in HEX bytes, two for each EEPROM byte, so the text is
; placed by a pad byte rather than by a second org that would mean something else elsewhere.
        org     0x2100
        de      14                              ; pattern length
        de      0x01, 0x02, 0x04, 0x08          ; a light running up ...
        de      0x10, 0x20, 0x40, 0x80
        de      0x40, 0x20, 0x10, 0x08          ; ... and back down
        de      0x04, 0x02
        de      0                               ; unused: the text starts at address 10h
        de      "veltraw eeprom example", 0     ; a text to recognise in the EEPROM window

        end
