// Helpers of the local play-list pages made from the second provider: a card whose
// picture cannot be loaded shows its title alone, so the grid keeps its shape offline.
(function () {
    function hide(image) { image.style.display = 'none'; }
    function hideBrokenPictures() {
        var images = document.getElementsByTagName('img');
        for (var i = 0; i < images.length; i++) {
            var image = images[i];
            // A picture that failed before this ran has no width; one still loading may fail later.
            if (image.complete && typeof image.naturalWidth != 'undefined' && image.naturalWidth === 0)
                hide(image);
            else
                image.onerror = function () { hide(this); };
        }
    }
    if (window.addEventListener)
        window.addEventListener('load', hideBrokenPictures, false);
    else if (window.attachEvent)
        window.attachEvent('onload', hideBrokenPictures);
})();
