; The headless cases of gimp_headless_test. The test defines in-dir (its
; input files) and out-dir (where each case dumps the image before and
; after the call) and then evaluates (main-cases) or (missing-filter-case).

(define last-error "")

; Calls `thunk`; #t when it succeeded, else #f with its message in last-error.
(define (succeeds? thunk)
  (let ((saved *error-hook*))
    (set! last-error "")
    (set! *error-hook*
          (lambda args
            (set! last-error (apply string-append (map (lambda (a) (if (string? a) a "")) args)))
            (apply saved args)))
    (let ((result (catch #f (thunk) #t)))
      (set! *error-hook* saved)
      result)))

(define (load-input name)
  (let ((path (string-append in-dir "/" name)))
    (car (gimp-file-load RUN-NONINTERACTIVE path path))))

(define (dump image name succeeded)
  (plug-in-decimora-probe-dump RUN-NONINTERACTIVE image (string-append out-dir "/" name)
                               (if succeeded 1 0) last-error))

; Dumps the image as "NAME-before", reduces it in `mode` by `factor` and
; dumps it as "NAME".
(define (reduce-case name image mode factor)
  (gimp-image-clean-all image)
  (dump image (string-append name "-before") #t)
  (let ((succeeded (succeeds? (lambda ()
                                (plug-in-decimora-reduce mode image (car (gimp-image-get-active-drawable image))
                                                         factor)))))
    (dump image name succeeded)))

(define (add-layer image parent name width height type x y)
  (let ((layer (car (gimp-layer-new image width height type name 100 LAYER-MODE-NORMAL))))
    (gimp-image-insert-layer image layer parent 0)
    (gimp-layer-set-offsets layer x y)
    (plug-in-decimora-probe-fill RUN-NONINTERACTIVE image layer 1.0)
    layer))

; The background from rgb8.png; a group holding a layer with alpha; above
; it a layer reaching past the canvas's left and bottom edges, at odd
; offsets, with a patterned mask.
(define (layered-image)
  (let* ((image (load-input "rgb8.png"))
         (group (car (gimp-layer-group-new image))))
    (gimp-image-insert-layer image group 0 0)
    (add-layer image group "inner" 20 14 RGBA-IMAGE 10 6)
    (let* ((outside (add-layer image 0 "outside" 30 21 RGB-IMAGE -5 31))
           (mask (car (gimp-layer-create-mask outside ADD-MASK-WHITE))))
      (gimp-layer-add-mask outside mask)
      (plug-in-decimora-probe-fill RUN-NONINTERACTIVE image mask 1.0))
    image))

; Layers far smaller than a 301 x 200 canvas: one reaching past its right
; and top edges, one inside it at odd offsets with a patterned mask; and a
; patterned saved channel.
(define (far-layers-image)
  (let ((image (car (gimp-image-new 301 200 RGB))))
    (add-layer image 0 "edge" 25 20 RGBA-IMAGE 290 -7)
    (let* ((far (add-layer image 0 "far" 20 14 RGBA-IMAGE 171 93))
           (mask (car (gimp-layer-create-mask far ADD-MASK-WHITE))))
      (gimp-layer-add-mask far mask)
      (plug-in-decimora-probe-fill RUN-NONINTERACTIVE image mask 1.0))
    (let ((channel (car (gimp-channel-new image 301 200 "saved" 100 '(0 0 0)))))
      (gimp-image-insert-channel image channel 0 0)
      (plug-in-decimora-probe-fill RUN-NONINTERACTIVE image channel 1.0))
    image))

(define (indexed-image)
  (let ((image (load-input "rgb8.png")))
    (gimp-image-convert-indexed image CONVERT-DITHER-NONE CONVERT-PALETTE-GENERATE 16 FALSE FALSE "")
    image))

; One layer filled with values up to 1.5 at `precision`.
(define (bright-image precision type layer-type)
  (let* ((image (car (gimp-image-new-with-precision 32 24 type precision)))
         (layer (car (gimp-layer-new image 32 24 layer-type "bright" 100 LAYER-MODE-NORMAL))))
    (gimp-image-insert-layer image layer 0 0)
    (gimp-image-set-resolution image 300 300)
    (plug-in-decimora-probe-fill RUN-NONINTERACTIVE image layer 1.5)
    image))

; screen.png converted to 16-bit linear light.
(define (linear-image name)
  (let ((image (load-input name)))
    (gimp-image-convert-precision image PRECISION-U16-LINEAR)
    image))

(define (main-cases)
  (reduce-case "rgb8" (load-input "rgb8.png") RUN-NONINTERACTIVE 2)
  (reduce-case "gray16a" (load-input "gray16a.png") RUN-NONINTERACTIVE 3)
  ; Repeats the last step, by 3; the factor argument is not read.
  (reduce-case "repeat" (load-input "rgb8.png") RUN-WITH-LAST-VALS 0)
  (reduce-case "layers" (layered-image) RUN-NONINTERACTIVE 2)
  (reduce-case "float" (bright-image PRECISION-FLOAT-LINEAR RGB RGBA-IMAGE) RUN-NONINTERACTIVE 2)
  (reduce-case "half" (bright-image PRECISION-HALF-GAMMA GRAY GRAYA-IMAGE) RUN-NONINTERACTIVE 2)
  (reduce-case "factor0" (load-input "rgb8.png") RUN-NONINTERACTIVE 0)
  (reduce-case "indexed" (indexed-image) RUN-NONINTERACTIVE 2)
  (reduce-case "screen" (load-input "screen.png") RUN-NONINTERACTIVE 4)
  (reduce-case "screen-linear" (linear-image "screen.png") RUN-NONINTERACTIVE 4)
  (reduce-case "far-layers" (far-layers-image) RUN-NONINTERACTIVE 3))

(define (missing-filter-case)
  (reduce-case "missing-filter" (load-input "rgb8.png") RUN-NONINTERACTIVE 2))
